// What every window of the program needs from the desktop before it opens: the Windows
// Japanese font names resolved to the IPA fonts with the same metrics, and Qt's own
// texts (dialog buttons, file dialog labels) in Japanese.
#pragma once

class QCoreApplication;

namespace lumen::platform {

// "ＭＳ Ｐゴシック" → IPA P Gothic, "ＭＳ ゴシック" → IPA Gothic (and their ASCII names).
void InstallJapaneseFontSubstitutes();

// Loads Qt's Japanese translations when they are installed; false when they are not.
bool InstallQtJapaneseTranslations(QCoreApplication& application);

}  // namespace lumen::platform
