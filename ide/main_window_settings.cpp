// The main window's settings: the settings menu (editor kind, external editor, language, font),
// reading and writing the window settings at start and close, and the interface language.
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>

#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "ide/help_menu.h"
#include "ide/main_window.h"
#include "ide/script_editor.h"
#include "ide/settings_file.h"
#include "ide/variable_grids.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The available areas of the screens, the primary first.
QList<QRect> AvailableScreenAreas() {
  QList<QRect> areas;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) areas << primary->availableGeometry();
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen != primary) areas << screen->availableGeometry();
  return areas;
}

}  // namespace

void TForm_Interpretator::buildSettingsMenu() {
  settingsMenu_ = new QMenu(this);
  editorKindMenu_ = settingsMenu_->addMenu(MessageText(msg::kEditorKind));
  editorKindMenu_->setProperty("catalogue", msg::kEditorKind);
  internalEditorItem_ = editorKindMenu_->addAction(MessageText(msg::kUseInternalEditor));
  internalEditorItem_->setObjectName(u"mi_InternalEditor"_s);
  internalEditorItem_->setProperty("catalogue", msg::kUseInternalEditor);
  externalEditorItem_ = editorKindMenu_->addAction(MessageText(msg::kUseExternalEditor));
  externalEditorItem_->setObjectName(u"mi_ExternalEditor"_s);
  externalEditorItem_->setProperty("catalogue", msg::kUseExternalEditor);
  for (QAction* a : {internalEditorItem_, externalEditorItem_}) a->setCheckable(true);
  internalEditorItem_->setChecked(true);
  connect(internalEditorItem_, &QAction::triggered, this, [this] { setEditorKind(true); });
  connect(externalEditorItem_, &QAction::triggered, this, [this] { setEditorKind(false); });
  specifyEditorItem_ = settingsMenu_->addAction(MessageText(msg::kSpecifyExternalEditor));
  specifyEditorItem_->setObjectName(u"mi_SpecifyEditor"_s);
  specifyEditorItem_->setProperty("catalogue", msg::kSpecifyExternalEditor);
  connect(specifyEditorItem_, &QAction::triggered, this, [this] {
    const QString file = QFileDialog::getOpenFileName(this, QString(), u"/usr/bin"_s);
    if (file.isEmpty()) return;
    settings_.externalEditorFile = file;
    specifyEditorItem_->setToolTip(file);
    UpdateIniFile(ProgramSettingsPath(), [&](IniFile& ini) {
      ini.SetString(settings_names::kMainForm, settings_names::kExternalEditorFile, file);
    });
  });
  languageMenu_ = settingsMenu_->addMenu(MessageText(msg::kInterfaceLanguage));
  languageMenu_->setProperty("catalogue", msg::kInterfaceLanguage);
  const auto language = [this](const QString& caption, const QString& name, int index) {
    QAction* item = languageMenu_->addAction(caption);
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, [this, index] {
      SetLanguageIndex(index);
      ApplyInterfaceLanguage();
    });
  };
  language(u"English"_s, u"mi__English"_s, 0);
  language(u"Русский"_s, u"mi__Russian"_s, 1);
  settingsMenu_->addAction(action(WindowAction::Font));
}

void TForm_Interpretator::setEditorKind(bool internal) {
  internalEditorItem_->setChecked(internal);
  externalEditorItem_->setChecked(!internal);
  settings_.editorKind = (internal ? kInternalEditor : kExternalEditor).toString();
}

void TForm_Interpretator::ApplyInterfaceLanguage() {
  updateCaption();
  grids_->applyLanguage();
  for (QAction* a : std::as_const(actions_)) {
    const int n = a->property("catalogue").toInt();
    if (const QString caption = MessageText(n); !caption.isEmpty()) a->setText(caption);
    if (const QString hint = MessageText(n + 1); !hint.isEmpty() && n != msg::kHelpAction) a->setToolTip(hint);
  }
  for (QAction* a : {internalEditorItem_, externalEditorItem_, specifyEditorItem_})
    a->setText(MessageText(a->property("catalogue").toInt()));
  for (QMenu* m : {editorKindMenu_, languageMenu_}) m->setTitle(MessageText(m->property("catalogue").toInt()));
  helpMenu_->applyLanguage();
  arrangeToolBarRows();
}

void TForm_Interpretator::ReadSettings() {
  bool geometryStored = false;
  settings_ = LoadWindowSettings(ProgramSettingsPath(), &geometryStored);
  // "Left" and "Top" are the frame's corner (what WriteSettings stores), "Width" and "Height"
  // the client size: move() and resize() take them so.
  const QRect placed = MainWindowPlacement::Place(settings_, geometryStored, AvailableScreenAreas());
  move(placed.topLeft());
  resize(placed.size());
  // A first start gives the local grid room for its column headers.
  if (!geometryStored) settings_.localPanelWidth = std::max(settings_.localPanelWidth, grids_->localPanelWidthNeeded());
  panelSizesPending_ = true;
  if (settings_.state == WindowState::Maximized) setWindowState(Qt::WindowMaximized);
  else if (settings_.state == WindowState::Minimized) setWindowState(Qt::WindowMinimized);
  setEditorKind(settings_.UsesInternalEditor());
  specifyEditorItem_->setToolTip(settings_.externalEditorFile);
  QFont font(QStringLiteral("Courier New"), 10);
  if (!settings_.fontName.isEmpty()) font.setFamily(settings_.fontName);
  font.setPointSize(settings_.fontSize);
  editor_->setEditorFont(font);
  editorFont_ = font;
  grids_->setRowHeight(settings_.GridRowHeight());
}

void TForm_Interpretator::WriteSettings() {
  if (windowState() & Qt::WindowMaximized) {
    settings_.state = WindowState::Maximized;
  } else if (windowState() & Qt::WindowMinimized) {
    settings_.state = WindowState::Minimized;
  } else {
    settings_.state = WindowState::Normal;
    settings_.left = x();  // the frame's corner
    settings_.top = y();
    settings_.width = width();
    settings_.height = height();
    settings_.localPanelWidth = grids_->sizes().value(1, settings_.localPanelWidth);
    settings_.bottomPanelHeight = gridsSplitter_->sizes().value(1, settings_.bottomPanelHeight);
  }
  settings_.fontName = editorFont_.family();
  settings_.fontSize = editorFont_.pointSize();
  if (!StoreWindowSettings(ProgramSettingsPath(), settings_))
    QMessageBox::information(this, QString(), u"Can not save data to INI - file."_s);
}

void TForm_Interpretator::A_FontSlot() {
  QFontDialog dialog(editorFont_, this);  // opens at the editor's font
  if (dialog.exec() != QDialog::Accepted) return;
  const QFont chosen = dialog.selectedFont();
  editor_->setEditorFont(chosen);
  editorFont_ = chosen;
}

