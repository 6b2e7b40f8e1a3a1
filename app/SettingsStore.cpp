#include "app/SettingsStore.h"

#include "platform/files/Profile.h"
#include "views/ScrollSync.h"

#include <array>
#include <cstdio>
#include <type_traits>
#include <utility>

namespace kivo {
namespace {

constexpr const char *kColorSection = "Color";
constexpr const char *kEffectSection = "Effect";
constexpr const char *kFontSection = "Font";
constexpr const char *kWindowSection = "Window";
constexpr const char *kOptionsSection = "Options";
constexpr const char *kTableSection = "Table";

// Value names of the colour slots, in slot order. The defaults are those of RichOptions.
constexpr std::array<const char *, kColorCount> kColorNames{
    "Background", "Original", "Same", "Changed", "Added", "Deleted", "Moved"};

// Value names of the effect slots; slot 0 (Original) is never stored.
constexpr std::array<const char *, kEffectCount> kEffectNames{nullptr, "Same",    "Changed",
                                                              "Added", "Deleted", "Moved"};

constexpr const char *kCharFormat = "CharFormat";
constexpr const char *kShowMaximized = "ShowMaximized";

// The integer options of section Options, in storage order, with the values each may hold. An
// option held as an enum is stored as its number.
struct FlagValue {
    const char *name;
    std::int32_t (*get)(const RichOptions &);
    void (*set)(RichOptions &, std::int32_t);
    OptionRange range;
};

template <auto Field> constexpr FlagValue Flag(const char *name, OptionRange range)
{
    using Value = std::remove_cvref_t<decltype(std::declval<RichOptions &>().*Field)>;
    return {name,
            [](const RichOptions &options) { return static_cast<std::int32_t>(options.*Field); },
            [](RichOptions &options, std::int32_t value) {
                options.*Field = static_cast<Value>(value);
            },
            range};
}

constexpr std::array<FlagValue, 13> kFlags{{
    Flag<&RichOptions::CmpChar>("CmpChar", RichOptions::kFlagRange),
    Flag<&RichOptions::CmpCase>("CmpCase", RichOptions::kFlagRange),
    Flag<&RichOptions::CmpZen>("CmpZen", RichOptions::kFlagRange),
    Flag<&RichOptions::CmpZenSp>("CmpZenSp", RichOptions::kFlagRange),
    Flag<&RichOptions::ViewFormat>("ViewFormat", RichOptions::kViewFormatRange),
    Flag<&RichOptions::ViewLine>("ViewLine", RichOptions::kFlagRange),
    Flag<&RichOptions::ViewBar>("ViewBar", RichOptions::kFlagRange),
    Flag<&RichOptions::CmpKana>("CmpKana", RichOptions::kFlagRange),
    Flag<&RichOptions::CmpPunct>("CmpPunct", RichOptions::kFlagRange),
    Flag<&RichOptions::KeepQuotes>("KeepQuotes", RichOptions::kFlagRange),
    Flag<&RichOptions::ViewMove>("ViewMove", RichOptions::kFlagRange),
    Flag<&RichOptions::PdfHeads>("PdfHeads", RichOptions::kFlagRange),
    Flag<&RichOptions::RestoreSession>("RestoreSession", RichOptions::kFlagRange),
}};

// "Sptr1" ... "Sptr9".
std::array<char, 8> DelimiterName(std::size_t index)
{
    std::array<char, 8> name{};
    std::snprintf(name.data(), name.size(), "Sptr%zu", index + 1);
    return name;
}

/// The stored value when it is in range, else the default.
template <typename Value> Value InRange(Value stored, Value defaultValue, OptionRange range)
{
    return range.Contains(stored) ? stored : defaultValue;
}

} // namespace

void LoadSettings(const Profile &profile, RichOptions &options)
{
    const RichOptions defaults;
    for (std::size_t slot = 0; slot < kColorCount; ++slot) {
        options.Color[slot] = static_cast<ColorRef>(profile.GetProfileInt(
            kColorSection, kColorNames[slot], static_cast<std::int32_t>(defaults.Color[slot])));
    }
    // A value out of its range is replaced by its default: it would be kept and written back
    // otherwise, and an effect code indexes a five-entry table.
    for (std::size_t slot = 1; slot < kEffectCount; ++slot) {
        const std::int32_t code =
            profile.GetProfileInt(kEffectSection, kEffectNames[slot], defaults.Effect[slot]);
        options.Effect[slot] = InRange(code, defaults.Effect[slot], RichOptions::kEffectRange);
    }

    const auto block = profile.GetProfileBinary(kFontSection, kCharFormat);
    if (block && block->size() == CharFormat::kSize) {
        std::array<std::uint8_t, CharFormat::kSize> bytes{};
        std::copy(block->begin(), block->end(), bytes.begin());
        options.CharFormat = CharFormat::FromBytes(bytes);
    } else {
        // Built after the colours, so a stored Original colour is the default text colour.
        options.CharFormat = DefaultCharFormat(options.Color[ColorOriginal]);
    }

    options.ShowMaximized =
        profile.GetProfileInt(kWindowSection, kShowMaximized, defaults.ShowMaximized);

    for (const FlagValue &flag : kFlags) {
        const std::int32_t defaultValue = flag.get(defaults);
        flag.set(options, InRange(profile.GetProfileInt(kOptionsSection, flag.name, defaultValue),
                                  defaultValue, flag.range));
    }

    for (std::size_t i = 0; i < kDelimiterSetCount; ++i) {
        options.Sptr[i] =
            profile.GetProfileString(kOptionsSection, DelimiterName(i).data(), defaults.Sptr[i]);
    }

    ScrollSync(options).Stop();
}

void SaveSettings(Profile &profile, const RichOptions &options)
{
    for (std::size_t slot = 0; slot < kColorCount; ++slot) {
        profile.WriteProfileInt(kColorSection, kColorNames[slot],
                                static_cast<std::int32_t>(options.Color[slot]));
    }
    for (std::size_t slot = 1; slot < kEffectCount; ++slot)
        profile.WriteProfileInt(kEffectSection, kEffectNames[slot], options.Effect[slot]);

    const auto bytes = options.CharFormat.ToBytes();
    profile.WriteProfileBinary(kFontSection, kCharFormat, bytes);

    profile.WriteProfileInt(kWindowSection, kShowMaximized, options.ShowMaximized);

    for (const FlagValue &flag : kFlags)
        profile.WriteProfileInt(kOptionsSection, flag.name, flag.get(options));

    for (std::size_t i = 0; i < kDelimiterSetCount; ++i)
        profile.WriteProfileString(kOptionsSection, DelimiterName(i).data(), options.Sptr[i]);
}

namespace {

/// A UTF-8 text kept as a block; fallback when it is missing.
std::string GetText(const Profile &profile, const char *entry, const std::string &fallback)
{
    const auto block = profile.GetProfileBinary(kTableSection, entry);
    return block ? std::string(block->begin(), block->end()) : fallback;
}

void WriteText(Profile &profile, const char *entry, std::string_view text)
{
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(text.data());
    profile.WriteProfileBinary(kTableSection, entry, std::span(bytes, text.size()));
}

// The switches of the table, in storage order.
struct TableSwitch {
    const char *name;
    bool report::TableOptions::*field;
};
constexpr std::array<TableSwitch, 4> kTableSwitches{{
    {"OldLeft", &report::TableOptions::oldLeft},
    {"Remarks", &report::TableOptions::remarks},
    {"OmitSame", &report::TableOptions::omitSame},
    {"Colours", &report::TableOptions::colours},
}};

} // namespace

void LoadTableSettings(const Profile &profile, report::TableOptions &options)
{
    const report::TableOptions defaults;
    options.title = GetText(profile, "Title", defaults.title);
    const std::int32_t headings = profile.GetProfileInt(
        kTableSection, "Headings", static_cast<std::int32_t>(defaults.headings));
    options.headings = static_cast<report::TableHeadings>(
        InRange(headings, static_cast<std::int32_t>(defaults.headings),
                OptionRange{0, report::kTableHeadingsCount - 1}));
    options.ownHeadings = {GetText(profile, "NewHeading", defaults.ownHeadings[0]),
                           GetText(profile, "OldHeading", defaults.ownHeadings[1])};
    for (const TableSwitch &entry : kTableSwitches) {
        const std::int32_t value =
            profile.GetProfileInt(kTableSection, entry.name, defaults.*entry.field ? 1 : 0);
        options.*entry.field =
            InRange(value, defaults.*entry.field ? 1 : 0, RichOptions::kFlagRange) != 0;
    }
}

void SaveTableSettings(Profile &profile, const report::TableOptions &options)
{
    WriteText(profile, "Title", options.title);
    profile.WriteProfileInt(kTableSection, "Headings", static_cast<std::int32_t>(options.headings));
    WriteText(profile, "NewHeading", options.ownHeadings[0]);
    WriteText(profile, "OldHeading", options.ownHeadings[1]);
    for (const TableSwitch &entry : kTableSwitches)
        profile.WriteProfileInt(kTableSection, entry.name, options.*entry.field ? 1 : 0);
}

} // namespace kivo
