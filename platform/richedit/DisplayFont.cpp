#include "DisplayFont.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

#include <array>

namespace kivo {

namespace {

struct Substitute {
    QStringView face;
    QStringView family;
};

// Windows Japanese faces and the IPA fonts that are drawn to their metrics.
constexpr std::array kSubstitutes{
    Substitute{u"ＭＳ ゴシック", u"IPAGothic"},    Substitute{u"MS Gothic", u"IPAGothic"},
    Substitute{u"ＭＳ Ｐゴシック", u"IPAPGothic"}, Substitute{u"MS PGothic", u"IPAPGothic"},
    Substitute{u"MS UI Gothic", u"IPAPGothic"},    Substitute{u"ＭＳ 明朝", u"IPAMincho"},
    Substitute{u"MS Mincho", u"IPAMincho"},        Substitute{u"ＭＳ Ｐ明朝", u"IPAPMincho"},
    Substitute{u"MS PMincho", u"IPAPMincho"},
};

// Preferred when nothing better is known: a fixed-pitch Gothic face, as the default display face.
constexpr std::array<QStringView, 2> kPreferredJapanese{u"IPAGothic", u"IPAPGothic"};

QString JapaneseFallback()
{
    for (const QStringView family : kPreferredJapanese) {
        if (QFontDatabase::hasFamily(family.toString()))
            return family.toString();
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.first();
}

QString Resolve(const QString &face)
{
    for (const Substitute &substitute : kSubstitutes) {
        if (substitute.face == face && QFontDatabase::hasFamily(substitute.family.toString()))
            return substitute.family.toString();
    }
    if (!face.isEmpty() && QFontDatabase::hasFamily(face))
        return face;
    const QString fallback = JapaneseFallback();
    return fallback.isEmpty() ? face : fallback;
}

} // namespace

QString DisplayFamily(const QString &face)
{
    // Looking families up asks fontconfig; rendering sets the face twice per record.
    static QHash<QString, QString> cache;
    const auto it = cache.constFind(face);
    if (it != cache.constEnd())
        return *it;
    return *cache.insert(face, Resolve(face));
}

} // namespace kivo
