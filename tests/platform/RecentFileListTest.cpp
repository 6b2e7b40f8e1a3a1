#include "platform/files/RecentFileList.h"

#include "platform/framework/CommandActions.h"
#include "platform/framework/MdiFrameWnd.h"
#include "platform/files/Profile.h"
#include "resources/ResourceIds.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace res;

TEST(RecentFileList, NewestFirstWithoutDuplicatesAndOldestFallsOff)
{
    RecentFileList list(3);
    list.Add(QStringLiteral("/a"));
    list.Add(QStringLiteral("/b"));
    list.Add(QStringLiteral("/c"));
    list.Add(QStringLiteral("/a"));
    EXPECT_EQ(list.Paths(),
              (QStringList{QStringLiteral("/a"), QStringLiteral("/c"), QStringLiteral("/b")}));
    list.Add(QStringLiteral("/d"));
    EXPECT_EQ(list.Paths(),
              (QStringList{QStringLiteral("/d"), QStringLiteral("/a"), QStringLiteral("/c")}));
    list.Remove(1);
    list.Remove(7);
    EXPECT_EQ(list.Paths(), (QStringList{QStringLiteral("/d"), QStringLiteral("/c")}));
}

TEST(RecentFileList, RelativePathsAreKeptAbsolute)
{
    RecentFileList list(4);
    list.Add(QStringLiteral("x/../y.txt"));
    ASSERT_EQ(list.Size(), 1);
    EXPECT_TRUE(list.Paths().front().startsWith(u'/'));
    EXPECT_TRUE(list.Paths().front().endsWith(QStringLiteral("/y.txt")));
}

TEST(RecentFileList, StoredListReplacesTheOldOne)
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    Profile profile(QStringLiteral("Velmora"), QStringLiteral("Kivo"));
    RecentFileList list(16);
    list.Add(QStringLiteral("/tmp/一.txt"));
    list.Add(QStringLiteral("/tmp/two.rtf"));
    list.Add(QStringLiteral("/tmp/three.rtf"));
    list.WriteList(profile);
    list.Remove(0);
    list.Remove(0);
    list.WriteList(profile);
    EXPECT_TRUE(profile.GetProfileString("Recent File List", "File2", "none") == "none");

    RecentFileList read(16);
    read.ReadList(profile);
    EXPECT_EQ(read.Paths(), QStringList{QStringLiteral("/tmp/一.txt")});
}

TEST(RecentFileList, MenuLabelsNumberTheEntries)
{
    RecentFileList list(16);
    for (int i = 11; i >= 1; --i)
        list.Add(QStringLiteral("/f") + QString::number(i));
    list.Add(QStringLiteral("/R&D"));
    const QStringList labels = list.MenuLabels();
    ASSERT_EQ(labels.size(), 12);
    EXPECT_EQ(labels[0], QStringLiteral("&1 /R&&D"));
    EXPECT_EQ(labels[1], QStringLiteral("&2 /f1"));
    EXPECT_EQ(labels[9], QStringLiteral("1&0 /f9"));
    EXPECT_EQ(labels[11], QStringLiteral("12 /f11"));
}

TEST(RecentFileList, FileMenuShowsTheEntriesOrItsDisabledPlaceholder)
{
    MdiFrameWnd frame;
    frame.LoadMenus(IDR_MAINFRAME, IDR_RICHTYPE);
    frame.OnCommandRange({ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + 1, ID_FILE_MRU_FILE1 + 2},
                         [](int) {});
    QStringList labels;
    frame.Commands().SetItemList(ID_FILE_MRU_FILE1, [&] { return labels; });
    QAction *first = frame.Commands().ActionsFor(ID_FILE_MRU_FILE1).value(0);
    ASSERT_NE(first, nullptr);
    QMenu *file = qobject_cast<QMenu *>(first->parent());
    ASSERT_NE(file, nullptr);

    frame.Commands().UpdateMenu(file);
    EXPECT_EQ(first->text(), QStringLiteral("最近使ったファイル"));
    EXPECT_FALSE(first->isEnabled());

    labels = {QStringLiteral("&1 /a"), QStringLiteral("&2 /b"), QStringLiteral("&3 /c")};
    frame.Commands().UpdateMenu(file);
    EXPECT_EQ(first->text(), QStringLiteral("&1 /a"));
    EXPECT_TRUE(first->isEnabled());
    const QList<QAction *> third = frame.Commands().ActionsFor(ID_FILE_MRU_FILE1 + 2);
    ASSERT_EQ(third.size(), 1);
    EXPECT_EQ(third[0]->text(), QStringLiteral("&3 /c"));
    const QList<QAction *> entries = file->actions();
    EXPECT_EQ(entries.indexOf(third[0]), entries.indexOf(first) + 2);

    // Opening the menu again rebuilds the entries instead of adding more.
    labels.removeLast();
    frame.Commands().UpdateMenu(file);
    EXPECT_TRUE(frame.Commands().ActionsFor(ID_FILE_MRU_FILE1 + 2).isEmpty());
    EXPECT_EQ(frame.Commands().ActionsFor(ID_FILE_MRU_FILE1 + 1).size(), 1);
}

} // namespace
} // namespace kivo
