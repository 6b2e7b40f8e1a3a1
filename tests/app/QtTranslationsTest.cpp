// Qt's own dialogs, buttons and context menus speak Japanese under any locale of the user.

#include "app/QtTranslations.h"
#include "resources/QtStrings.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
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
#include <QTemporaryDir>
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

/// The texts of the file dialog's list of files, once it has read its folder: names are left
/// out, the types of a folder, a link and a file are in.
QStringList FileTypes(QFileDialog &dialog, int rows)
{
    auto *model = dialog.findChild<QFileSystemModel *>();
    if (!model)
        return {QStringLiteral("no file list")};
    const QModelIndex folder = model->index(dialog.directory().absolutePath());
    if (!QTest::qWaitFor([&] { return model->rowCount(folder) == rows; }))
        return {QStringLiteral("the file list was not read")};
    constexpr int kTypeColumn = 2;
    QStringList types;
    for (int row = 0; row < rows; ++row)
        types << model->index(row, kTypeColumn, folder).data().toString();
    return types;
}

TEST_F(QtTranslationsTest, StandardDialogsSpeakJapanese)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("sub")),
                            folder.filePath(QStringLiteral("link"))));
    QFile text(folder.filePath(QStringLiteral("a.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.close();
    QFileDialog open(nullptr, QStringLiteral("開く"), folder.path());
    open.setOption(QFileDialog::DontUseNativeDialog);
    ExpectJapanese(open);
    const QStringList types = FileTypes(open, 3);
    EXPECT_TRUE(EnglishTexts(types).isEmpty()) << types.join(u'|').toStdString();
    EXPECT_TRUE(types.contains(QStringLiteral("フォルダー"))) << types.join(u'|').toStdString();
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
