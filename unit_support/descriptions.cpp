#include "unit_support/descriptions.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "engine/names.h"

using namespace Qt::Literals::StringLiterals;

namespace {

struct TableSource {
  TableId id;
  const char16_t* file;  // base name in resources/functions and resources/help
  bool synonymPass;
};

constexpr TableSource kSources[] = {
    {TableId::General, u"general", true},    {TableId::Graph, u"graphics", true},
    {TableId::Dialog, u"dialogs", true},     {TableId::DB, u"database", false},
    {TableId::OS, u"system", true},          {TableId::FTP, u"ftp_udp", true},
    {TableId::Arduino, u"arduino", true},    {TableId::JS, u"javascript", true},
    {TableId::Topics, u"topics", false},
};

constexpr const char16_t* kTypeNames[] = {
    u"fNone", u"fMath", u"fStr", u"fDateTime", u"fFile", u"fArr", u"fDialog",
    u"fMatrix", u"fGraph", u"fMisc", u"fRegExp", u"fDataBase", u"fExcel", u"fOS",
    u"fFTP", u"fUDP", u"fBrowser", u"fArduino", u"fComPort"};
constexpr const char16_t* kObjNames[] = {u"jso_None", u"jso_Str", u"jso_String",
                                         u"jso_Date", u"jso_Math", u"jso_RE"};

template <std::size_t N>
int IndexOf(const char16_t* const (&names)[N], const QString& name) {
  for (std::size_t i = 0; i < N; ++i)
    if (name == QStringView(names[i])) return int(i);
  return 0;
}

QJsonObject ReadJson(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(f.readAll()).object();
}

QString NormalName(QStringView name) { return TrimControl(name).toLower(); }

// Precomputes FindFunctionDescription: synonyms over the whole table first, then formula
// names; the first slot wins within each pass.
void BuildLookup(DescriptionTable& t, bool synonymPass) {
  if (synonymPass)
    for (int i = 0; i < int(t.entries.size()); ++i) {
      const QString key = t.entries[std::size_t(i)].Sinonim.toLower();
      if (!key.isEmpty() && !t.lookup.contains(key)) t.lookup.insert(key, SynonymMatch(i));
    }
  for (int i = 0; i < int(t.entries.size()); ++i) {
    const QString& formula = t.entries[std::size_t(i)].Formula;
    if (!formula.contains(u'(')) continue;
    const QString key = formula.section(u'(', 0, 0).toLower();
    if (!key.isEmpty() && !t.lookup.contains(key)) t.lookup.insert(key, i);
  }
}

DescriptionTable Load(const TableSource& source) {
  DescriptionTable t;
  t.id = source.id;
  const QString base = QString::fromUtf16(source.file);
  const QJsonObject data = ReadJson(u":/tressaly/functions/"_s + base + u".json"_s);
  t.name = data.value(u"table"_s).toString();
  t.kind = wkNone;
  const QString kind = data.value(u"kind"_s).toString();
  static const QHash<QString, TWordKind> kKinds = {
      {u"wkEmbeddedFunction"_s, wkEmbeddedFunction}, {u"wkGraphFunction"_s, wkGraphFunction},
      {u"wkDialogFunction"_s, wkDialogFunction},     {u"wkDBaseFunction"_s, wkDBaseFunction},
      {u"wkOS_FunctionsFunction"_s, wkOS_FunctionsFunction},
      {u"wkFTPFunction"_s, wkFTPFunction},           {u"wkArduinoFunction"_s, wkArduinoFunction},
      {u"wkJS_Function"_s, wkJS_Function}};
  t.kind = kKinds.value(kind, wkNone);
  for (const QJsonValue& v : data.value(u"slots"_s).toArray()) {
    const QJsonObject o = v.toObject();
    T_FunctionDescription d;
    d.Formula = o.value(u"formula"_s).toString();
    d.Sinonim = o.value(u"synonym"_s).toString();
    d.ReturnType = o.value(u"returnType"_s).toString();
    d.Obj = TJSF_obj(IndexOf(kObjNames, o.value(u"obj"_s).toString()));
    for (const QJsonValue& type : o.value(u"types"_s).toArray())
      d.Types |= 1u << IndexOf(kTypeNames, type.toString());
    d.Table = source.id;
    d.Canonical = d.Formula.section(u'(', 0, 0);
    t.entries.push_back(std::move(d));
  }
  BuildLookup(t, source.synonymPass);
  return t;
}

const std::vector<DescriptionTable>& Tables() {
  static const std::vector<DescriptionTable> tables = [] {
    std::vector<DescriptionTable> all;
    for (const TableSource& s : kSources) all.push_back(Load(s));
    return all;
  }();
  return tables;
}

}  // namespace

const DescriptionTable& Table(TableId id) { return Tables()[std::size_t(id)]; }

std::array<QString, 2> T_FunctionDescription::Description() const {
  static std::array<QJsonObject, std::size(kSources)> help;
  const std::size_t i = std::size_t(Table);
  if (help[i].isEmpty()) help[i] = ReadJson(u":/tressaly/help/"_s + QString::fromUtf16(kSources[i].file) + u".json"_s);
  const QJsonObject texts = help[i].value(Formula.isEmpty() ? Sinonim : CanonicalName()).toObject();
  return {texts.value(u"en"_s).toString(), texts.value(u"ru"_s).toString()};
}

const std::array<TableId, 8>& HelpTableOrder() {
  static constexpr std::array<TableId, 8> kOrder = {TableId::General, TableId::JS,  TableId::Graph,
                                                    TableId::Dialog,  TableId::DB,  TableId::OS,
                                                    TableId::FTP,     TableId::Arduino};
  return kOrder;
}

int FindFunctionDescription(const DescriptionTable& table, QStringView name) {
  if (const int* found = table.recent.Find(name)) return *found;
  const QString key = NormalName(name);
  const int answer = key.isEmpty() ? -1 : table.lookup.value(key, -1);
  table.recent.Keep(name, answer);
  return answer;
}

const DescriptionTable* TableForKind(TWordKind kind) {
  for (const DescriptionTable& t : Tables())
    if (t.kind == kind && t.id != TableId::Topics) return &t;
  return nullptr;
}
