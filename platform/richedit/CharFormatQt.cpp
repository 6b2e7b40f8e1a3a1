#include "CharFormatQt.h"

#include "Cp932Text.h"
#include "DisplayFont.h"

#include <QStringList>

#include <cmath>

namespace kivo::charformat {

namespace {

// A mask bit and its effect bit are the same number, so one mask selects both.
static_assert(CFM_BOLD == CFE_BOLD && CFM_ITALIC == CFE_ITALIC && CFM_UNDERLINE == CFE_UNDERLINE &&
              CFM_STRIKEOUT == CFE_STRIKEOUT);

constexpr std::uint32_t kEffectMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
/// The fields this module reads and writes.
constexpr std::uint32_t kKnownFields = kEffectMask | CFM_COLOR | CFM_FACE | CFM_SIZE | CFM_CHARSET;

bool Has(const CharFormat &format, std::uint32_t mask)
{
    return (format.dwMask & mask) != 0;
}

bool Effect(const CharFormat &format, std::uint32_t effect)
{
    return (format.dwEffects & effect) != 0;
}

void SetEffect(CharFormat &format, std::uint32_t effect, bool on)
{
    format.dwEffects = on ? (format.dwEffects | effect) : (format.dwEffects & ~effect);
}

bool IsUnderlined(const QTextCharFormat &format)
{
    if (format.hasProperty(QTextFormat::TextUnderlineStyle))
        return format.underlineStyle() != QTextCharFormat::NoUnderline;
    return format.boolProperty(QTextFormat::FontUnderline);
}

void SetFaceName(CharFormat &format, const QString &face)
{
    format.SetFaceName(cp932text::Encode(face));
}

} // namespace

QColor ToQColor(ColorRef color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

ColorRef ToColorRef(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return static_cast<ColorRef>(rgb.red()) | static_cast<ColorRef>(rgb.green()) << 8 |
           static_cast<ColorRef>(rgb.blue()) << 16;
}

QString FaceName(const CharFormat &format)
{
    return cp932text::Decode(format.FaceName());
}

QTextCharFormat ToTextCharFormat(const CharFormat &format)
{
    QTextCharFormat qt;
    if (Has(format, CFM_COLOR))
        qt.setForeground(ToQColor(format.crTextColor));
    if (Has(format, CFM_BOLD))
        qt.setFontWeight(Effect(format, CFE_BOLD) ? QFont::Bold : QFont::Normal);
    if (Has(format, CFM_ITALIC))
        qt.setFontItalic(Effect(format, CFE_ITALIC));
    if (Has(format, CFM_UNDERLINE))
        qt.setFontUnderline(Effect(format, CFE_UNDERLINE));
    if (Has(format, CFM_STRIKEOUT))
        qt.setFontStrikeOut(Effect(format, CFE_STRIKEOUT));
    if (Has(format, CFM_FACE)) {
        const QString face = FaceName(format);
        qt.setProperty(kFaceNameProperty, face);
        qt.setFontFamilies(QStringList{DisplayFamily(face)});
    }
    if (Has(format, CFM_SIZE) && format.yHeight > 0)
        qt.setFontPointSize(static_cast<qreal>(format.yHeight) / kTwipsPerPoint);
    if (Has(format, CFM_CHARSET))
        qt.setProperty(kCharSetProperty, static_cast<int>(format.bCharSet));
    return qt;
}

CharFormat FromTextCharFormat(const QTextCharFormat &qt, const CharFormat &base)
{
    CharFormat format = base;
    format.cbSize = CharFormat::kSize;
    format.dwMask = (base.dwMask & ~kKnownFields) | kKnownFields;
    if (qt.hasProperty(QTextFormat::ForegroundBrush))
        format.crTextColor = ToColorRef(qt.foreground().color());
    if (qt.hasProperty(QTextFormat::FontWeight))
        SetEffect(format, CFE_BOLD, qt.fontWeight() >= kBoldFrom);
    if (qt.hasProperty(QTextFormat::FontItalic))
        SetEffect(format, CFE_ITALIC, qt.fontItalic());
    if (qt.hasProperty(QTextFormat::TextUnderlineStyle) ||
        qt.hasProperty(QTextFormat::FontUnderline))
        SetEffect(format, CFE_UNDERLINE, IsUnderlined(qt));
    if (qt.hasProperty(QTextFormat::FontStrikeOut))
        SetEffect(format, CFE_STRIKEOUT, qt.fontStrikeOut());
    if (qt.hasProperty(kFaceNameProperty)) {
        SetFaceName(format, qt.stringProperty(kFaceNameProperty));
    } else if (qt.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = qt.property(QTextFormat::FontFamilies).toStringList();
        if (!families.isEmpty())
            SetFaceName(format, families.first());
    }
    if (qt.hasProperty(QTextFormat::FontPointSize))
        format.yHeight =
            static_cast<std::int32_t>(std::lround(qt.fontPointSize() * kTwipsPerPoint));
    if (qt.hasProperty(kCharSetProperty))
        format.bCharSet = static_cast<std::uint8_t>(qt.intProperty(kCharSetProperty));
    return format;
}

void Merge(CharFormat &target, const CharFormat &change)
{
    const std::uint32_t effects = change.dwMask & kEffectMask;
    target.dwEffects = (target.dwEffects & ~effects) | (change.dwEffects & effects);
    if (Has(change, CFM_COLOR))
        target.crTextColor = change.crTextColor;
    if (Has(change, CFM_FACE))
        target.szFaceName = change.szFaceName;
    if (Has(change, CFM_SIZE) && change.yHeight > 0)
        target.yHeight = change.yHeight;
    if (Has(change, CFM_CHARSET))
        target.bCharSet = change.bCharSet;
    target.dwMask |= change.dwMask & kKnownFields;
}

std::uint32_t SameFields(const CharFormat &a, const CharFormat &b)
{
    std::uint32_t same = 0;
    for (const std::uint32_t effect : {CFM_BOLD, CFM_ITALIC, CFM_UNDERLINE, CFM_STRIKEOUT}) {
        if ((a.dwEffects & effect) == (b.dwEffects & effect))
            same |= effect;
    }
    if (a.crTextColor == b.crTextColor)
        same |= CFM_COLOR;
    if (a.FaceName() == b.FaceName())
        same |= CFM_FACE;
    if (a.yHeight == b.yHeight)
        same |= CFM_SIZE;
    if (a.bCharSet == b.bCharSet)
        same |= CFM_CHARSET;
    return same & a.dwMask & b.dwMask;
}

QFont ToFont(const CharFormat &format)
{
    QFont font;
    font.setFamilies(QStringList{DisplayFamily(FaceName(format))});
    if (format.yHeight > 0)
        font.setPointSizeF(static_cast<qreal>(format.yHeight) / kTwipsPerPoint);
    font.setBold(Effect(format, CFE_BOLD));
    font.setItalic(Effect(format, CFE_ITALIC));
    font.setUnderline(Effect(format, CFE_UNDERLINE));
    font.setStrikeOut(Effect(format, CFE_STRIKEOUT));
    return font;
}

} // namespace kivo::charformat
