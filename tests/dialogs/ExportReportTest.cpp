// The export of a result as an HTML report, chosen from the file menu of the running application.

#include "AppFixture.h"
#include "DialogTestSupport.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/files/FileMessage.h"
#include "platform/dialogs/MessageBox.h"
#include "resources/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

#include <cerrno>
#include <cstring>

namespace kivo {
namespace {

using namespace res;

class ExportReportTest : public test::AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        m_dialogs = std::make_unique<ScopedFileDialogAnswerer>([this](const FileDialogRequest &r) {
            m_requests.push_back(r);
            return std::optional<QString>(m_answer);
        });
        m_boxes = std::make_unique<ScopedMessageBoxAnswerer>([this](const MessageBoxRequest &r) {
            m_messages.push_back(r.text);
            return IDOK;
        });
    }

    /// The item of the file menu, as the user sees it.
    QAction *MenuItem(const QString &text = QStringLiteral("比較結果をエクスポート(&E)...")) const
    {
        for (QAction *menu : m_frame->menuBar()->actions()) {
            if (menu->text() != QStringLiteral("ファイル(&F)") || !menu->menu())
                continue;
            for (QAction *item : menu->menu()->actions()) {
                if (item->text() == text)
                    return item;
            }
        }
        return nullptr;
    }
    bool ItemEnabled(QAction *item = nullptr)
    {
        m_frame->UpdateCmdUI();
        if (!item)
            item = MenuItem();
        return item && item->isEnabled();
    }
    QAction *TableItem() const { return MenuItem(QStringLiteral("新旧対照表を作成(&T)...")); }

    static QByteArray Contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString m_answer;
    std::vector<FileDialogRequest> m_requests;
    std::vector<QString> m_messages;
    std::unique_ptr<ScopedFileDialogAnswerer> m_dialogs;
    std::unique_ptr<ScopedMessageBoxAnswerer> m_boxes;
};

TEST_F(ExportReportTest, MenuItemWritesTheShownResultAndReportsAFailure)
{
    ASSERT_NE(MenuItem(), nullptr);
    EXPECT_FALSE(ItemEnabled()) << "no result is shown yet";
    SetText(1, QStringLiteral("今日は晴れです。明日も晴れです。"));
    SetText(2, QStringLiteral("今日は晴れです。明日は雨です。"));
    ASSERT_TRUE(Compare());
    ASSERT_TRUE(ItemEnabled());

    m_answer = TempPath(QStringLiteral("report.html"));
    MenuItem()->trigger();
    ASSERT_EQ(m_requests.size(), 1u);
    EXPECT_EQ(m_requests[0].mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(m_requests[0].title, QStringLiteral("名前を付けて保存"));
    EXPECT_EQ(m_requests[0].proposedName, QStringLiteral("Untitled1-Untitled2.html"));
    EXPECT_EQ(m_requests[0].defaultSuffix, QStringLiteral("html"));
    EXPECT_TRUE(m_messages.empty());
    QFile file(m_answer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(page.startsWith(QStringLiteral("<!DOCTYPE html>"))) << page.toStdString();
    for (const QString &part :
         {QStringLiteral("<thead><tr><th>Untitled1</th><th>Untitled2</th></tr></thead>"),
          QStringLiteral("同一 1</span>・<span class=\"count s2\">変更 1</span>"),
          QStringLiteral("<span class=\"s2\">も晴れ</span>"), QStringLiteral("@media print")})
        EXPECT_TRUE(page.contains(part)) << part.toStdString();

    // A folder that is not there: the file message, and no file.
    m_answer = TempPath(QStringLiteral("missing/report.html"));
    MenuItem()->trigger();
    FileError notFound;
    notFound.code = ENOENT;
    notFound.message = QString::fromLocal8Bit(std::strerror(ENOENT));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], FileErrorMessage(FileAction::Save, m_answer, notFound));
    EXPECT_FALSE(QFile::exists(m_answer));

    // A new text in one window: the result is no longer shown.
    ASSERT_TRUE(Choose(ID_EDIT_CLEAR_ALL, 2));
    EXPECT_FALSE(ItemEnabled());
}

TEST_F(ExportReportTest, TableItemAsksForOptionsThenWritesDocxOrHtmlByTheName)
{
    ASSERT_NE(TableItem(), nullptr);
    EXPECT_FALSE(ItemEnabled(TableItem())) << "no result is shown yet";
    SetText(1, QStringLiteral("第1条　甲とする。\r第2条　同じ。"));
    SetText(2, QStringLiteral("第1条　乙とする。\r第2条　同じ。"));
    ASSERT_TRUE(Compare());
    ASSERT_TRUE(ItemEnabled(TableItem()));

    // Cancel in the options: no file is asked for.
    test::WhenModal(
        [](QWidget *dialog) { test::Click(*static_cast<Dialog *>(dialog), IDC_CANCEL); });
    TableItem()->trigger();
    EXPECT_TRUE(m_requests.empty());

    // The heads 新 / 旧 and the remarks column, then a .docx.
    const auto choose = [](QWidget *widget) {
        auto &dialog = *static_cast<Dialog *>(widget);
        auto *heads = qobject_cast<QComboBox *>(dialog.Control(IDC_TABLE_HEADINGS));
        ASSERT_NE(heads, nullptr);
        heads->setCurrentIndex(static_cast<int>(report::TableHeadings::NewOld));
        auto *remarks = qobject_cast<QCheckBox *>(dialog.Control(IDC_TABLE_REMARKS));
        ASSERT_NE(remarks, nullptr);
        remarks->setChecked(true);
        test::Click(dialog, IDC_OK);
    };
    test::WhenModal(choose);
    m_answer = TempPath(QStringLiteral("table.docx"));
    TableItem()->trigger();
    ASSERT_EQ(m_requests.size(), 1u);
    EXPECT_EQ(m_requests[0].proposedName, QStringLiteral("Untitled1-Untitled2 新旧対照表.docx"));
    EXPECT_EQ(m_requests[0].defaultSuffix, QStringLiteral("docx"));
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(Contents(m_answer).startsWith("PK\x03\x04"));
    EXPECT_EQ(m_app->TableOptions().headings, report::TableHeadings::NewOld);
    EXPECT_TRUE(m_app->TableOptions().remarks);

    // The options are offered as left; a name ending in .html gives the page.
    test::WhenModal([](QWidget *dialog) { test::Click(*static_cast<Dialog *>(dialog), IDC_OK); });
    m_answer = TempPath(QStringLiteral("table.html"));
    TableItem()->trigger();
    const QString page = QString::fromUtf8(Contents(m_answer));
    for (const QString &part :
         {QStringLiteral("<th>新</th><th>旧</th><th class=\"remark\">備考</th>"),
          QStringLiteral("第1条　<span class=\"u\">乙</span>とする。"), QStringLiteral("(変更)")})
        EXPECT_TRUE(page.contains(part)) << part.toStdString();

    // A folder that is not there: the file message, and no file.
    test::WhenModal([](QWidget *dialog) { test::Click(*static_cast<Dialog *>(dialog), IDC_OK); });
    m_answer = TempPath(QStringLiteral("missing/table.docx"));
    TableItem()->trigger();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_messages[0].contains(m_answer)) << m_messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(m_answer));
}

} // namespace
} // namespace kivo
