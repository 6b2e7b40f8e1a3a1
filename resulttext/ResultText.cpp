#include "resulttext/ResultText.h"

#include "Cp932.h"

namespace kivo {
namespace {

// Full-width space "　" and full-width low line "＿" in code page 932.
constexpr std::string_view kFullWidthSpace = "\x81\x40";
constexpr std::string_view kFullWidthLowLine = "\x81\x51";
constexpr std::string_view kTabForm = "____";

constexpr std::uint32_t kEffectMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;

/// The display format drawn in a colour slot with an effect flag.
CharFormat SlotFormat(const RichOptions &options, std::size_t colorSlot, std::uint32_t effect)
{
    CharFormat format = options.CharFormat;
    // The stored format may lack the colour or effect fields; the status needs both.
    format.dwMask |= CFM_COLOR | kEffectMask;
    format.crTextColor = options.Color[colorSlot];
    format.dwEffects = effect;
    return format;
}

} // namespace

bool IsBlankText(std::string_view text)
{
    bool blank = true;
    cp932::ForEachChar(text, [&blank](std::string_view ch) {
        if (ch != " " && ch != "\t" && ch != kFullWidthSpace)
            blank = false;
    });
    return blank;
}

std::string UnderscoreForm(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size() * 2);
    cp932::ForEachChar(text, [&shown](std::string_view ch) {
        if (ch == " ")
            shown += '_';
        else if (ch == kFullWidthSpace)
            shown += kFullWidthLowLine;
        else if (ch == "\t")
            shown += kTabForm;
        else
            shown += ch;
    });
    return shown;
}

std::string SpacesForUnderscores(std::string_view shown)
{
    std::string text;
    text.reserve(shown.size());
    cp932::ForEachChar(shown, [&text](std::string_view ch) {
        if (ch == "_")
            text += ' ';
        else if (ch == kFullWidthLowLine)
            text += kFullWidthSpace;
        else
            text += ch;
    });
    return text;
}

std::string DisplayText(const RichOptions &options, TextStatus status, std::string_view text)
{
    const bool difference = status != TextStatus::Original && status != TextStatus::Same;
    if (options.ViewBar == 1 && difference && IsBlankText(text))
        return UnderscoreForm(text);
    return std::string(text);
}

std::string_view RowSeparator(const RichOptions &options)
{
    if (options.ViewFormat != SentenceLayout::Aligned)
        return {};
    return options.ViewLine == 1 ? "\n\n" : "\n";
}

CharFormat StatusFormat(const RichOptions &options, TextStatus status)
{
    const auto effect = options.Effect[EffectSlotOf(status)];
    // The original text never carries an effect, whatever the stored slot says.
    return SlotFormat(options, ColorSlotOf(status),
                      status == TextStatus::Original ? 0 : EffectFlag(effect));
}

CharFormat MovedFormat(const RichOptions &options)
{
    return SlotFormat(options, ColorMoved, EffectFlag(options.Effect[kMovedEffectSlot]));
}

} // namespace kivo
