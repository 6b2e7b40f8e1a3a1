#pragma once

namespace kivo {

/// Makes Qt's own dialogs, buttons and context menus speak Japanese whatever the user's locale:
/// installs Qt's Japanese translations from Qt's translations folder and, over them, Kivo's
/// Japanese for the texts those leave in English. Also makes Japanese the default locale, so
/// that dates and sizes in Qt's dialogs are written the Japanese way. Installs them once per
/// process; later calls do nothing. False when Qt's translations could not be loaded (Kivo's own
/// are installed all the same).
bool InstallJapaneseTranslations();

} // namespace kivo
