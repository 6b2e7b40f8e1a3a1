#include "app/QtTranslations.h"

#include "resources/QtStrings.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <string_view>

namespace kivo {
namespace {

/// The file of Qt's own Japanese translations (Debian's qt6-translations-l10n).
constexpr char16_t kQtTranslations[] = u"qtbase_ja";

/// Kivo's Japanese for the texts of Qt's dialogs that Qt's translations leave in English.
class GapTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (!context || !sourceText)
            return {};
        const std::string_view utf8 = res::QtStringJapanese(context, sourceText);
        return utf8.empty() ? QString()
                            : QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    }
};

} // namespace

bool InstallJapaneseTranslations()
{
    static bool installed = false;
    static bool loaded = false;
    if (installed)
        return loaded;
    installed = true;
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QCoreApplication *app = QCoreApplication::instance();
    auto *qt = new QTranslator(app);
    loaded = qt->load(QString::fromUtf16(kQtTranslations),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded)
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    // Installed last, so it is asked first; it answers only for the texts it knows.
    QCoreApplication::installTranslator(new GapTranslator(app));
    return loaded;
}

} // namespace kivo
