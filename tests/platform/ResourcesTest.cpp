#include "resources/Accelerators.h"
#include "resources/Menus.h"
#include "resources/QtStrings.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "resources/Toolbar.h"

#include <QKeySequence>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace kivo::res {
namespace {

QString Text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void ForEachCommand(std::span<const MenuItem> items,
                    const std::function<void(const MenuItem &)> &fn)
{
    for (const MenuItem &item : items) {
        if (item.kind == MenuItem::Kind::Popup)
            ForEachCommand(item.items, fn);
        else if (item.kind == MenuItem::Kind::Command)
            fn(item);
    }
}

std::set<int> MenuCommands(int menuId)
{
    std::set<int> ids;
    ForEachCommand(MenuResource(menuId), [&](const MenuItem &item) { ids.insert(item.id); });
    return ids;
}

TEST(Resources, EveryCommandOfMenusToolbarAndAcceleratorsHasAPrompt)
{
    std::set<int> ids;
    for (const int menu : {IDR_MAINFRAME, IDR_RICHTYPE, IDR_CONTEXT})
        ids.merge(MenuCommands(menu));
    for (const int id : ToolbarButtons(IDR_MAINFRAME)) {
        if (id != ID_SEPARATOR)
            ids.insert(id);
    }
    for (const Accelerator &a : AcceleratorTable(IDR_MAINFRAME))
        ids.insert(a.id);
    for (const int id : ids)
        EXPECT_FALSE(CommandPrompt(id).isEmpty()) << "command " << id << " has no prompt";
}

TEST(Resources, ToolbarButtonsHaveTooltipsImagesAndMenuEntries)
{
    const std::set<int> menu = MenuCommands(IDR_RICHTYPE);
    const auto buttons = ToolbarButtons(IDR_MAINFRAME);
    ASSERT_EQ(buttons.size(), 22u);
    EXPECT_EQ(buttons[kDelimiterBoxPosition], ID_SEPARATOR);
    int images = 0;
    for (const int id : buttons) {
        if (id == ID_SEPARATOR)
            continue;
        EXPECT_FALSE(CommandToolTip(id).isEmpty()) << "button " << id;
        EXPECT_TRUE(menu.contains(id)) << "button " << id << " is in no menu";
        const QIcon icon = ToolbarIcon(id);
        ASSERT_FALSE(icon.isNull()) << "button " << id;
        EXPECT_EQ(icon.availableSizes().value(0), kToolbarImageSize);
        ++images;
    }
    EXPECT_EQ(images, 15);
}

TEST(Resources, KeyNamesShownInMenusAreTheAcceleratorsOfTheirCommands)
{
    std::set<std::pair<int, int>> accelerators; // (key, id)
    for (const Accelerator &a : AcceleratorTable(IDR_MAINFRAME))
        accelerators.insert({a.key.toCombined(), a.id});
    for (const int menuId : {IDR_MAINFRAME, IDR_RICHTYPE, IDR_CONTEXT}) {
        ForEachCommand(MenuResource(menuId), [&](const MenuItem &item) {
            const QString text = Text(item.text);
            const qsizetype tab = text.indexOf(u'\t');
            if (tab < 0)
                return;
            const QKeySequence key = QKeySequence::fromString(text.mid(tab + 1));
            ASSERT_EQ(key.count(), 1) << text.toStdString();
            EXPECT_TRUE(accelerators.contains({key[0].toCombined(), item.id}))
                << "menu " << menuId << ": " << text.toStdString();
        });
    }
}

TEST(Resources, NoKeyIsTakenTwice)
{
    std::map<int, int> seen;
    for (const Accelerator &a : AcceleratorTable(IDR_MAINFRAME)) {
        const auto [it, fresh] = seen.emplace(a.key.toCombined(), a.id);
        EXPECT_TRUE(fresh) << "key of command " << a.id << " already sends " << it->second;
    }
}

TEST(Resources, MnemonicsAreUniqueWithinEachMenu)
{
    static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
    const std::function<void(std::span<const MenuItem>, const std::string &)> check =
        [&](std::span<const MenuItem> items, const std::string &where) {
            std::set<QChar> letters;
            for (const MenuItem &item : items) {
                const auto match = mnemonic.match(Text(item.text));
                if (match.hasMatch()) {
                    EXPECT_TRUE(letters.insert(match.captured(1).at(0).toUpper()).second)
                        << where << ": " << std::string(item.text);
                }
                if (item.kind == MenuItem::Kind::Popup)
                    check(item.items, std::string(item.text));
            }
        };
    for (const int menuId : {IDR_MAINFRAME, IDR_RICHTYPE, IDR_CONTEXT})
        check(MenuResource(menuId), "menu " + std::to_string(menuId));
}

TEST(Resources, DocumentStringHoldsItsSevenFields)
{
    EXPECT_EQ(StringField(IDS_DOC_STRINGS, 0), QString());
    EXPECT_EQ(StringField(IDS_DOC_STRINGS, 4), QStringLiteral(".rtf"));
    EXPECT_EQ(StringField(IDS_DOC_STRINGS, 6), QStringLiteral("リッチ テキスト ドキュメント"));
    EXPECT_EQ(StringField(IDS_DOC_STRINGS, 7), QString());
}

TEST(Resources, PromptAndTooltipSplitAtTheFirstNewline)
{
    EXPECT_EQ(CommandPrompt(IDS_DELIMITER_BOX), QStringLiteral("文の区切り文字を設定"));
    EXPECT_EQ(CommandToolTip(IDS_DELIMITER_BOX), QStringLiteral("文の区切り文字"));
    EXPECT_EQ(CommandToolTip(IDS_APP_TITLE), QString());
    EXPECT_FALSE(HasString(1));
    EXPECT_EQ(LoadString(1), QString());
}

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

TEST(Resources, EveryTextShownIsJapanese)
{
    // Names that read the same in Japanese: the application's, the key indicators', and the
    // document strings' extension and type key, which are never shown as words.
    const std::set<int> names{IDS_APP_TITLE, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL,
                              IDS_DOC_STRINGS};
    for (const StringEntry &entry : StringTable()) {
        if (names.contains(entry.id))
            continue;
        // Each field on its own: a prompt and its tooltip are both shown.
        std::string_view rest = entry.utf8;
        while (!rest.empty()) {
            const std::string_view field = rest.substr(0, rest.find('\n'));
            rest.remove_prefix(std::min(rest.size(), field.size() + 1));
            EXPECT_TRUE(field.empty() || !IsAscii(field))
                << "string " << entry.id << " is not Japanese: " << field;
        }
    }
    for (const QtString &entry : QtStringTable())
        EXPECT_FALSE(IsAscii(entry.japanese)) << entry.context << " " << entry.english;
}

} // namespace
} // namespace kivo::res
