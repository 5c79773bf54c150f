#include "platform/desktop/japanese_ui.h"

#include <QCoreApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace lumen::platform {

void InstallJapaneseFontSubstitutes() {
  const char* proportional[] = {"ＭＳ Ｐゴシック", "MS PGothic"};
  const char* fixed[] = {"ＭＳ ゴシック", "MS Gothic"};
  for (const char* name : proportional) QFont::insertSubstitution(QString::fromUtf8(name), "IPAPGothic");
  for (const char* name : fixed) QFont::insertSubstitution(QString::fromUtf8(name), "IPAGothic");
}

bool InstallQtJapaneseTranslations(QCoreApplication& application) {
  auto* translator = new QTranslator(&application);
  if (!translator->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace lumen::platform
