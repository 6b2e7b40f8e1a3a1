// Qt's own dialogs, buttons and context menus speak Japanese under any locale of the user.

#include "app/QtTranslations.h"
#include "resources/QtStrings.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

namespace kivo {
namespace {

/// Every text a user reads in a window: its title, and those of its buttons, labels, group
/// boxes, tabs, column headers and actions (toolbars, menus).
QStringList ShownTexts(QWidget &window)
{
    QStringList texts{window.windowTitle()};
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
        texts << button->text() << button->toolTip();
    for (const QLabel *label : window.findChildren<QLabel *>())
        texts << label->text();
    for (const QGroupBox *group : window.findChildren<QGroupBox *>())
        texts << group->title();
    for (const QTabWidget *tabs : window.findChildren<QTabWidget *>()) {
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
    }
    for (const QComboBox *combo : window.findChildren<QComboBox *>()) {
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    }
    for (const QHeaderView *header : window.findChildren<QHeaderView *>()) {
        const QAbstractItemModel *model = header->model();
        for (int i = 0; model && i < model->columnCount(); ++i)
            texts << model->headerData(i, header->orientation()).toString();
    }
    for (const QWidget *widget : window.findChildren<QWidget *>())
        texts << widget->toolTip();
    for (const QAction *action : window.findChildren<QAction *>())
        texts << action->text() << action->toolTip();
    texts.removeAll(QString());
    return texts;
}

/// Names that read the same in Japanese: the application's, OK, and the paper sizes.
std::set<QString> Names()
{
    std::set<QString> names{QStringLiteral("Kivo"), QStringLiteral("OK")};
    for (int id = 0; id <= QPageSize::LastPageSize; ++id)
        names.insert(QPageSize::name(static_cast<QPageSize::PageSizeId>(id)));
    return names;
}

/// Texts made of English words only: ASCII letters and no character of Japanese. Names and
/// paths are not English words.
QStringList EnglishTexts(const QStringList &texts)
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    static const std::set<QString> names = Names();
    QStringList english;
    for (const QString &text : texts) {
        const bool japanese =
            std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x3000; });
        QString stripped = text;
        stripped.remove(u'&');
        if (!japanese && stripped.contains(word) && !names.contains(stripped) &&
            !text.startsWith(u'/'))
            english << text;
    }
    return english;
}

class QtTranslationsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallJapaneseTranslations(); }

    static void ExpectJapanese(QWidget &window)
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QStringList english = EnglishTexts(ShownTexts(window));
        EXPECT_TRUE(english.isEmpty()) << window.metaObject()->className() << ": "
                                       << english.join(QStringLiteral(" | ")).toStdString();
        window.close();
    }
};

TEST_F(QtTranslationsTest, StandardDialogsSpeakJapanese)
{
    QFileDialog open(nullptr, QStringLiteral("開く"));
    open.setOption(QFileDialog::DontUseNativeDialog);
    ExpectJapanese(open);
    QFileDialog save(nullptr, QStringLiteral("名前を付けて保存"));
    save.setOption(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    ExpectJapanese(save);
    QFontDialog font;
    font.setOption(QFontDialog::DontUseNativeDialog);
    ExpectJapanese(font);
    QPrinter printer;
    QPrintPreviewDialog preview(&printer);
    ExpectJapanese(preview);
    QPrintDialog print(&printer);
    ExpectJapanese(print);
    QPageSetupDialog setup(&printer);
    ExpectJapanese(setup);
    QMessageBox question(QMessageBox::Question, QStringLiteral("Kivo"), QStringLiteral("？"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    ExpectJapanese(question);
    QLineEdit line;
    const std::unique_ptr<QMenu> menu(line.createStandardContextMenu());
    const QStringList english = EnglishTexts(ShownTexts(*menu));
    EXPECT_TRUE(english.isEmpty()) << english.join(QStringLiteral(" | ")).toStdString();
}

} // namespace
} // namespace kivo
