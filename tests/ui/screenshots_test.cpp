#include "dialogfixture.h"

#include "downloads/list/downloadactivity.h"
#include "downloads/list/downloadlist.h"
#include "downloads/list/downloadtablemodel.h"
#include "core/browsercache.h"
#include "support/cacheentrywriter.h"
#include "ui/addresslistdialog.h"
#include "ui/fiecache.h"
#include "ui/formcopymove.h"
#include "ui/foption.h"
#include "ui/fselefilesavepath.h"
#include "ui/platform/qtuserprompts.h"
#include "ui/platform/toolkittranslation.h"
#include "ui/urlreplace.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Idle final : DownloadActivity {
    bool DownloadsActive() const override { return false; }
    bool TransferBusy() const override { return false; }
    bool SchedulerEnabled() const override { return false; }
};

// Writes what the user sees into the build folder, to be looked at.
void capture(QWidget& dialog, const QString& name)
{
    dialog.show();
    const QImage image = dialog.grab().toImage();
    ASSERT_FALSE(image.isNull()) << name.toStdString();
    const QString folder = QStringLiteral(PAPERPULL_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    EXPECT_TRUE(image.save(folder + u'/' + name + u".png"_s)) << name.toStdString();
}

TEST(Screenshots, AMessageBoxAsksInChineseWithChineseButtons)
{
    ASSERT_FALSE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty());
    const ToolkitTranslation toolkit; // as the program starts
    QtUserPrompts prompts;
    QStringList buttons;
    QTimer::singleShot(0, [&buttons] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QTest::qWait(20);
        const QImage image = box->grab().toImage();
        const QString folder = QStringLiteral(PAPERPULL_SCREENSHOT_DIR);
        QDir().mkpath(folder);
        EXPECT_TRUE(image.save(folder + u"/message-box.png"_s));
        auto* row = box->findChild<QDialogButtonBox*>();
        ASSERT_NE(row, nullptr);
        for (QAbstractButton* button : row->buttons())
            buttons.append(button->text());
        row->button(QDialogButtonBox::No)->click();
    });
    EXPECT_FALSE(prompts.askYesNo(u"正在下载文件或者下载没有完成，要强制关闭窗口吗？"_s, MessageIcon::Question));
    ASSERT_EQ(buttons.size(), 2);
    for (const QString& text : buttons) {
        EXPECT_FALSE(text.contains(u"Yes"_s) || text.contains(u"No"_s)) << text.toStdString();
        EXPECT_TRUE(text.contains(u"是"_s) || text.contains(u"否"_s)) << text.toStdString();
    }
}

TEST(Screenshots, EveryDialog)
{
    // Without a font for Chinese every caption would be a row of boxes.
    ASSERT_FALSE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty());

    DialogFixture f;
    f.settings.setSaveFolder(f.temp.path() + u"/papers/"_s);
    {
        fOption dialog(f.values, f.settings, f.prompts);
        capture(dialog, u"foption"_s);
    }
    {
        fSeleFileSavePath dialog(f.values, f.settings, f.prompts, f.temp.filePath(u"SaveList.dat"_s));
        capture(dialog, u"fselefilesavepath"_s);
    }
    DownloadList list;
    DownloadTableModel model(list);
    Idle idle;
    {
        UrlReplace dialog(model, idle, f.prompts);
        capture(dialog, u"urlreplace"_s);
    }
    {
        AddressListDialog dialog(model, f.temp.path() + u"/papers/"_s, f.prompts);
        capture(dialog, u"addresslistdialog"_s);
    }
    {
        f.settings.setCopyDestinationFolder(f.temp.path() + u"/copies/"_s);
        Form_Copy_Move dialog(f.settings, f.prompts, f.temp.filePath(u"SaveList.dat"_s));
        dialog.setSourceFiles({CopySource::WholeFile(u"/a.pdf"_s), CopySource::WholeFile(u"/b.pdf"_s)});
        capture(dialog, u"formcopymove"_s);
    }
    {
        const QString cacheFolder = f.temp.makeFolder(u"home/me/.cache/Paperpull/browser/Cache/Cache_Data"_s);
        const QByteArray site = "https://pubs.example.org/doi/pdf/10.1021/jacs.";
        for (int n = 1; n <= 12; ++n)
            WriteCacheEntry(cacheFolder, CacheEntryName(static_cast<quint64>(n)),
                            {"1/0/" + site + QByteArray::number(5000 + n) + ".pdf", QByteArray(n * 9000, 'p')});
        BrowserCache cache(cacheFolder);
        fIEcache window({cache, {{f.temp.filePath(u"home"_s)}, {}, f.temp.filePath(u"home/me"_s)}, f.settings,
                         f.prompts, f.temp.filePath(u"SaveList.dat"_s)});
        window.viewer().ShowAllUsersCaches();
        window.viewer().ShowMyCache();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.viewer().sizesPending(); }, 5000));
        capture(window, u"fiecache"_s);
    }
}

} // namespace
