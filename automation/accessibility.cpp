// AT-SPI comes first: glib's headers use names that Qt defines as macros.
#include <atspi/atspi.h>

#include "automation/accessibility.h"

#include <QElapsedTimer>
#include <QHash>
#include <QThread>
#include <algorithm>
#include <memory>

#include "automation/x11_windows.h"

namespace {

// Below one window there are seldom more; the limit keeps a runaway tree from stalling a run.
constexpr int kMaxDescendants = 5000;
constexpr int kMaxDepth = 40;

struct Entry {
  AtspiAccessible* object = nullptr;  // one reference held for the program's life
  XWindow topLevel = 0;
};

std::vector<Entry>& Registry() {
  static std::vector<Entry> entries;
  return entries;
}
QHash<AtspiAccessible*, quint64>& Handles() {
  static QHash<AtspiAccessible*, quint64> handles;
  return handles;
}

bool BusReady() {
  static const bool ready = [] {
    if (atspi_init() < 0) return false;
    // A program that does not answer costs a script a second, not the library's default
    // quarter of a minute for programs still starting.
    atspi_set_timeout(1000, 3000);
    return true;
  }();
  return ready;
}

// Tables of spreadsheets and long lists hand out their cells on demand, millions of them:
// their children are not walked.
bool ManagesDescendants(AtspiAccessible* object) {
  AtspiStateSet* states = atspi_accessible_get_state_set(object);
  const bool manages = states && atspi_state_set_contains(states, ATSPI_STATE_MANAGES_DESCENDANTS);
  if (states) g_object_unref(states);
  return manages;
}

// Takes over the reference of `object` (the caller's is dropped when it is known already).
quint64 HandleFor(AtspiAccessible* object, XWindow topLevel) {
  if (!object) return 0;
  auto& handles = Handles();
  if (auto it = handles.constFind(object); it != handles.constEnd()) {
    g_object_unref(object);
    return *it;
  }
  Registry().push_back({object, topLevel});
  const quint64 handle = kFirstAccessibleHandle + Registry().size() - 1;
  handles.insert(object, handle);
  return handle;
}

const Entry* Find(quint64 handle) {
  if (!IsAccessibleHandle(handle)) return nullptr;
  const quint64 index = handle - kFirstAccessibleHandle;
  return index < Registry().size() ? &Registry()[index] : nullptr;
}

AtspiAccessible* Object(quint64 handle) {
  const Entry* entry = Find(handle);
  return entry ? entry->object : nullptr;
}

// Reports of the bus are answers here: a failed call means "no such thing".
struct ErrorSink {
  GError* error = nullptr;
  ~ErrorSink() { g_clear_error(&error); }
  GError** out() { return &error; }
  bool failed() const { return error != nullptr; }
};

QString TakeText(gchar* text) {
  const QString result = text ? QString::fromUtf8(text) : QString();
  g_free(text);
  return result;
}

template <typename Interface>
struct InterfaceRef {
  Interface* p;
  explicit InterfaceRef(Interface* i) : p(i) {}
  ~InterfaceRef() {
    if (p) g_object_unref(p);
  }
  explicit operator bool() const { return p != nullptr; }
};

std::vector<AtspiAccessible*> RawChildren(AtspiAccessible* object) {
  std::vector<AtspiAccessible*> children;
  ErrorSink error;
  const gint count = atspi_accessible_get_child_count(object, error.out());
  for (gint i = 0; i < count && !error.failed(); ++i) {
    ErrorSink childError;
    if (AtspiAccessible* child = atspi_accessible_get_child_at_index(object, i, childError.out())) children.push_back(child);
  }
  return children;
}

void CollectDescendants(AtspiAccessible* object, XWindow topLevel, int depth, std::vector<quint64>& out) {
  if (depth > kMaxDepth) return;
  for (AtspiAccessible* child : RawChildren(object)) {
    if (int(out.size()) >= kMaxDescendants) {
      g_object_unref(child);
      continue;
    }
    const quint64 handle = HandleFor(child, topLevel);
    out.push_back(handle);
    if (!ManagesDescendants(Object(handle))) CollectDescendants(Object(handle), topLevel, depth + 1, out);
  }
}

AtspiAccessible* ApplicationOfProcess(qint64 pid) {
  // The list of programs is kept up to date by the bus's signals, which arrive only while a
  // main loop runs: it is asked for anew.
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  AtspiAccessible* desktop = atspi_get_desktop(0);
  atspi_accessible_clear_cache(desktop);
  AtspiAccessible* found = nullptr;
  for (AtspiAccessible* app : RawChildren(desktop)) {
    ErrorSink error;
    if (!found && qint64(atspi_accessible_get_process_id(app, error.out())) == pid && !error.failed()) found = app;
    else g_object_unref(app);
  }
  g_object_unref(desktop);
  return found;
}

// The bus may learn of a program a moment after its window appears: the first look waits up
// to a second for it.
AtspiAccessible* ApplicationOfWindow(XWindow window) {
  static bool firstQuery = true;
  const qint64 pid = WindowProcessId(window);
  if (pid <= 0) return nullptr;
  QElapsedTimer waited;
  waited.start();
  AtspiAccessible* app = ApplicationOfProcess(pid);
  while (!app && firstQuery && waited.elapsed() < 1000) {
    QThread::msleep(100);
    app = ApplicationOfProcess(pid);
  }
  firstQuery = false;
  return app;
}

AtspiStateType StateType(AccessibleState state) {
  switch (state) {
    case AccessibleState::Checked:
      return ATSPI_STATE_CHECKED;
    case AccessibleState::Indeterminate:
      return ATSPI_STATE_INDETERMINATE;
    case AccessibleState::Enabled:
      return ATSPI_STATE_ENABLED;
    case AccessibleState::Selected:
      return ATSPI_STATE_SELECTED;
  }
  return ATSPI_STATE_INVALID;
}

// A combo box keeps its items in a list below it.
AtspiAccessible* ItemContainer(quint64 handle) {
  AtspiAccessible* object = Object(handle);
  if (!object) return nullptr;
  ErrorSink error;
  if (atspi_accessible_get_role(object, error.out()) != ATSPI_ROLE_COMBO_BOX) return object;
  for (quint64 child : AccessibleChildren(handle)) {
    const AtspiRole role = atspi_accessible_get_role(Object(child), error.out());
    if (role == ATSPI_ROLE_LIST || role == ATSPI_ROLE_MENU) return Object(child);
  }
  return object;
}

}  // namespace

bool IsAccessibleHandle(quint64 handle) { return handle >= kFirstAccessibleHandle; }

bool AccessibleExists(quint64 handle) {
  AtspiAccessible* object = Object(handle);
  if (!object) return false;
  AtspiStateSet* states = atspi_accessible_get_state_set(object);
  const bool alive = states && !atspi_state_set_contains(states, ATSPI_STATE_DEFUNCT);
  if (states) g_object_unref(states);
  return alive;
}

quint64 AccessibleFrameOf(XWindow window) {
  // Only client windows have frames; an X child window's controls are its top-level's.
  const std::vector<XWindow> topLevels = TopLevelWindows();
  if (!BusReady() || std::find(topLevels.begin(), topLevels.end(), window) == topLevels.end()) return 0;
  AtspiAccessible* app = ApplicationOfWindow(window);
  if (!app) return 0;
  // The frame titled like the window; the program's first frame when none is.
  const QString title = WindowTitle(window);
  std::vector<AtspiAccessible*> frames = RawChildren(app);
  g_object_unref(app);
  AtspiAccessible* chosen = frames.empty() ? nullptr : frames.front();
  for (AtspiAccessible* frame : frames) {
    ErrorSink error;
    if (TakeText(atspi_accessible_get_name(frame, error.out())) == title) {
      chosen = frame;
      break;
    }
  }
  for (AtspiAccessible* frame : frames)
    if (frame != chosen) g_object_unref(frame);
  return HandleFor(chosen, window);
}

std::vector<quint64> AccessibleDescendants(quint64 parent) {
  std::vector<quint64> out;
  if (!BusReady()) return out;
  const quint64 start = IsAccessibleHandle(parent) ? parent : AccessibleFrameOf(XWindow(parent));
  if (AtspiAccessible* object = Object(start)) CollectDescendants(object, TopLevelOf(start), 0, out);
  return out;
}

std::vector<quint64> AccessibleChildren(quint64 handle) {
  std::vector<quint64> out;
  if (AtspiAccessible* object = Object(handle))
    for (AtspiAccessible* child : RawChildren(object)) out.push_back(HandleFor(child, TopLevelOf(handle)));
  return out;
}

quint64 AccessibleParent(quint64 handle) {
  AtspiAccessible* object = Object(handle);
  if (!object) return 0;
  ErrorSink error;
  if (atspi_accessible_get_role(object, error.out()) == ATSPI_ROLE_FRAME) return 0;
  ErrorSink parentError;
  AtspiAccessible* parent = atspi_accessible_get_parent(object, parentError.out());
  if (!parent) return 0;
  ErrorSink roleError;
  if (atspi_accessible_get_role(parent, roleError.out()) == ATSPI_ROLE_APPLICATION) {
    g_object_unref(parent);
    return 0;
  }
  return HandleFor(parent, TopLevelOf(handle));
}

XWindow TopLevelOf(quint64 handle) {
  const Entry* entry = Find(handle);
  return entry ? entry->topLevel : XWindow(handle);
}

QString AccessibleRole(quint64 handle) {
  ErrorSink error;
  AtspiAccessible* object = Object(handle);
  return object ? TakeText(atspi_accessible_get_role_name(object, error.out())) : QString();
}

QString AccessibleName(quint64 handle) {
  ErrorSink error;
  AtspiAccessible* object = Object(handle);
  return object ? TakeText(atspi_accessible_get_name(object, error.out())) : QString();
}

QString AccessibleText(quint64 handle) {
  AtspiAccessible* object = Object(handle);
  if (!object) return {};
  InterfaceRef text(atspi_accessible_get_text_iface(object));
  InterfaceRef editable(atspi_accessible_get_editable_text_iface(object));
  if (!text || !editable) return AccessibleName(handle);
  ErrorSink error;
  return TakeText(atspi_text_get_text(text.p, 0, -1, error.out()));
}

bool SetAccessibleText(quint64 handle, const QString& value) {
  AtspiAccessible* object = Object(handle);
  if (!object) return false;
  InterfaceRef editable(atspi_accessible_get_editable_text_iface(object));
  if (!editable) return false;
  ErrorSink error;
  return atspi_editable_text_set_text_contents(editable.p, value.toUtf8().constData(), error.out()) && !error.failed();
}

bool SelectAccessibleText(quint64 handle, qint64 start, qint64 end) {
  AtspiAccessible* object = Object(handle);
  if (!object) return false;
  InterfaceRef text(atspi_accessible_get_text_iface(object));
  if (!text) return false;
  ErrorSink error;
  if (end < 0) end = atspi_text_get_character_count(text.p, error.out());
  ErrorSink selectError;
  if (atspi_text_get_n_selections(text.p, selectError.out()) > 0)
    return atspi_text_set_selection(text.p, 0, gint(start), gint(end), selectError.out());
  return atspi_text_add_selection(text.p, gint(start), gint(end), selectError.out()) && !selectError.failed();
}

std::optional<QRect> AccessibleRect(quint64 handle) {
  AtspiAccessible* object = Object(handle);
  if (!object) return std::nullopt;
  InterfaceRef component(atspi_accessible_get_component_iface(object));
  if (!component) return std::nullopt;
  ErrorSink error;
  AtspiRect* r = atspi_component_get_extents(component.p, ATSPI_COORD_TYPE_SCREEN, error.out());
  if (!r) return std::nullopt;
  const QRect rect(r->x, r->y, r->width, r->height);
  g_free(r);
  return rect;
}

bool FocusAccessible(quint64 handle) {
  AtspiAccessible* object = Object(handle);
  if (!object) return false;
  {
    InterfaceRef component(atspi_accessible_get_component_iface(object));
    ErrorSink error;
    if (component && atspi_component_grab_focus(component.p, error.out()) && !error.failed()) return true;
  }
  // Qt answers the request through an action of that name instead.
  return AccessibleActions(handle).contains(QStringLiteral("SetFocus"), Qt::CaseInsensitive) &&
         DoAccessibleAction(handle, {QStringLiteral("SetFocus")});
}

QStringList AccessibleActions(quint64 handle) {
  QStringList names;
  AtspiAccessible* object = Object(handle);
  if (!object) return names;
  InterfaceRef action(atspi_accessible_get_action_iface(object));
  if (!action) return names;
  ErrorSink error;
  const gint count = atspi_action_get_n_actions(action.p, error.out());
  for (gint i = 0; i < count; ++i) {
    ErrorSink nameError;
    names << TakeText(atspi_action_get_action_name(action.p, i, nameError.out()));
  }
  return names;
}

bool DoAccessibleAction(quint64 handle, const QStringList& preferred) {
  const QStringList names = AccessibleActions(handle);
  if (names.isEmpty()) return false;
  qsizetype index = 0;
  // Toolkits spell action names differently ("press", "Press"): compared without case.
  const auto named = std::find_if(preferred.begin(), preferred.end(), [&](const QString& name) {
    return names.contains(name, Qt::CaseInsensitive);
  });
  if (named != preferred.end())
    index = std::find_if(names.begin(), names.end(), [&](const QString& n) { return n.compare(*named, Qt::CaseInsensitive) == 0; }) -
            names.begin();
  InterfaceRef action(atspi_accessible_get_action_iface(Object(handle)));
  ErrorSink error;
  return action && atspi_action_do_action(action.p, gint(index), error.out()) && !error.failed();
}

bool HasAccessibleState(quint64 handle, AccessibleState state) {
  AtspiAccessible* object = Object(handle);
  if (!object) return false;
  AtspiStateSet* states = atspi_accessible_get_state_set(object);
  const bool has = states && atspi_state_set_contains(states, StateType(state));
  if (states) g_object_unref(states);
  return has;
}

std::vector<quint64> ListItems(quint64 handle) {
  AtspiAccessible* container = ItemContainer(handle);
  if (!container) return {};
  std::vector<quint64> items;
  for (AtspiAccessible* child : RawChildren(container)) {
    ErrorSink error;
    const AtspiRole role = atspi_accessible_get_role(child, error.out());
    const quint64 item = HandleFor(child, TopLevelOf(handle));
    if (role == ATSPI_ROLE_LIST_ITEM || role == ATSPI_ROLE_MENU_ITEM || role == ATSPI_ROLE_TABLE_CELL) items.push_back(item);
  }
  return items;
}

bool SelectListItem(quint64 handle, qint64 index) {
  AtspiAccessible* container = ItemContainer(handle);
  if (!container) return false;
  InterfaceRef selection(atspi_accessible_get_selection_iface(container));
  const std::vector<quint64> items = ListItems(handle);
  if (index < 0 || index >= qint64(items.size())) return false;
  const quint64 item = items[std::size_t(index)];
  // Lists without a selection interface (Qt's) select an item through its own action.
  if (!selection)
    return HasAccessibleState(item, AccessibleState::Selected) ||
           DoAccessibleAction(item, {QStringLiteral("toggle"), QStringLiteral("select"), QStringLiteral("click")});
  ErrorSink error;
  atspi_selection_clear_selection(selection.p, error.out());
  ErrorSink indexError;
  const gint child = atspi_accessible_get_index_in_parent(Object(item), indexError.out());
  ErrorSink selectError;
  return atspi_selection_select_child(selection.p, child, selectError.out()) && !selectError.failed();
}

qint64 SelectedListItem(quint64 handle) {
  const std::vector<quint64> items = ListItems(handle);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (HasAccessibleState(items[i], AccessibleState::Selected)) return qint64(i);
  return -1;
}
