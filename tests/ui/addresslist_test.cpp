#include "dialogfixture.h"

#include "downloads/list/downloadlist.h"
#include "downloads/list/downloadtablemodel.h"
#include "ui/addresslistcontroller.h"
#include "ui/addresslistdialog.h"

#include <QPlainTextEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(AddressProblem, OnlyHttpAddressesWithAHost)
{
    const struct {
        QString line;
        QString problem;
    } cases[] = {
        {u"https://pubs.acs.org/doi/pdf/10.1021/ja00001"_s, u""_s},
        {u"HTTP://host/a.pdf?x=1"_s, u""_s},
        {u"ftp://host/a.pdf"_s, u"只支持 http 和 https 网址"_s},
        {u"host/a.pdf"_s, u"不是网址"_s},
        {u"https:///a.pdf"_s, u"网址缺少主机名"_s},
        {u"https://host/a b.pdf"_s, u"网址中含有空格"_s},
        {u"https://ho st/"_s, u"网址中含有空格"_s},
        {u"javascript:alert(1)"_s, u"只支持 http 和 https 网址"_s},
        {u"https://[bad/"_s, u"不是网址"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddressProblem(c.line), c.problem) << c.line.toStdString();
}

struct AddressFixture : DialogFixture {
    AddressFixture() : model(list) { list.AddTask(u"https://h/listed.pdf"_s, u"listed"_s, u"pdf"_s, u"/f/"_s, {}); }

    DownloadList list;
    DownloadTableModel model;
};

TEST(AddressList, ValidLinesBecomeTasksDuplicatesAreCountedInvalidOnesComeBack)
{
    AddressFixture f;
    AddressListController controller(f.model, u"/papers"_s);
    QSignalSpy resets(&f.model, &QAbstractItemModel::modelReset);
    const AddressListOutcome outcome = controller.AddAddresses(
        u"https://pubs.acs.org/doi/pdf/10.1021/acs.jmc.0c01234\r\n"
        "\n"
        "  http://h/files/Report.ZIP  \n"
        "ftp://h/x\n"
        "https://h/listed.pdf\n"
        "http://h/files/Report.ZIP\n"
        "not an address"_s);

    EXPECT_EQ(outcome.Added, 2);
    EXPECT_EQ(outcome.Duplicates, 2);
    ASSERT_EQ(outcome.Rejected.size(), 2);
    EXPECT_EQ(outcome.rejectedText(), u"ftp://h/x\nnot an address"_s);
    EXPECT_EQ(outcome.rejectedReport(),
              u"第4行：ftp://h/x — 只支持 http 和 https 网址\n第7行：not an address — 网址中含有空格"_s);
    EXPECT_EQ(outcome.summary(), u"加入 2 个任务，重复 2 个，无效 2 行。"_s);
    EXPECT_EQ(resets.size(), 1);

    ASSERT_EQ(f.list.count(), 3);
    const DownloadTask& doi = *f.list.TaskAt(2);
    EXPECT_EQ(doi.Url, u"https://pubs.acs.org/doi/pdf/10.1021/acs.jmc.0c01234"_s);
    EXPECT_EQ(doi.Name, u"acs.jmc.0c01234"_s); // the DOI's dots are no extension
    EXPECT_EQ(doi.Type, u"pdf"_s);
    EXPECT_EQ(doi.Folder, u"/papers/"_s);
    EXPECT_EQ(doi.State, TaskState::Waiting);
    const DownloadTask& zip = *f.list.TaskAt(3);
    EXPECT_EQ(zip.Url, u"http://h/files/Report.ZIP"_s);
    EXPECT_EQ(zip.Name, u"Report"_s);
    EXPECT_EQ(zip.Type, u"zip"_s);
}

TEST(AddressList, NothingValidChangesNothing)
{
    AddressFixture f;
    AddressListController controller(f.model, u"/papers/"_s);
    QSignalSpy resets(&f.model, &QAbstractItemModel::modelReset);
    const AddressListOutcome outcome = controller.AddAddresses(u"\n  \nhttps://h/listed.pdf"_s);
    EXPECT_EQ(outcome.Added, 0);
    EXPECT_EQ(outcome.Duplicates, 1);
    EXPECT_TRUE(outcome.Rejected.isEmpty());
    EXPECT_EQ(resets.size(), 0);
    EXPECT_EQ(f.list.count(), 1);
}

TEST(AddressList, DialogKeepsRejectedLinesForCorrectionAndClosesWhenAllWentIn)
{
    AddressFixture f;
    AddressListDialog dialog(f.model, u"/papers/"_s, f.prompts);
    dialog.show();
    control<QPlainTextEdit>(dialog, u"Text1"_s)->setPlainText(u"https://h/a.pdf\nhttps//h/b.pdf"_s);
    click(dialog, u"Command1"_s);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(control<QPlainTextEdit>(dialog, u"Text1"_s)->toPlainText(), u"https//h/b.pdf"_s);
    EXPECT_EQ(control<QPlainTextEdit>(dialog, u"Text2"_s)->toPlainText(), u"第2行：https//h/b.pdf — 不是网址"_s);
    EXPECT_EQ(f.list.count(), 2);

    control<QPlainTextEdit>(dialog, u"Text1"_s)->setPlainText(u"https://h/b.pdf"_s);
    click(dialog, u"Command1"_s);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(f.list.count(), 3);
    EXPECT_EQ(f.prompts.messages(), QStringList{u"加入 1 个任务，重复 0 个，无效 0 行。"_s});
}

} // namespace
