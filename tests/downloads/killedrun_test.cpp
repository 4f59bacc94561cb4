// A run of real transfers ended by a kill, then started again: nothing under
// a paper's name is ever less than the paper, and every paper the kill cut
// off is fetched again, whatever the killed run or an earlier version left.

#include "downloads/list/downloadlistfile.h"
#include "downloads/list/downloadtablemodel.h"
#include "downloads/list/taskoutcome.h"
#include "support/recordingprompts.h"
#include "support/tempfolder.h"
#include "support/testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

constexpr qint64 kPaperBytes = 400000;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 partBytes(const QString& folder)
{
    qint64 bytes = 0;
    for (const QFileInfo& info : QDir(folder).entryInfoList({u".paperpull-*"_s}, QDir::Files | QDir::Hidden))
        bytes += info.size();
    return bytes;
}

int timesAsked(const TestHttpServer& server, const QByteArray& target)
{
    return static_cast<int>(std::count_if(server.requests.begin(), server.requests.end(),
                                          [&](const TestHttpServer::Request& r) { return r.Target == target; }));
}

TEST(KilledRunTest, NoPaperIsShortUnderItsNameAndEveryCutOffPaperIsFetchedAgain)
{
    const struct {
        const char* Label;
        const char* Method;
        int Papers;
    } cases[] = {{"parallel", "2", 4}, {"single_transfer", "1", 2}};
    for (const auto& c : cases) {
        TestHttpServer server;
        ASSERT_TRUE(server.listen());
        TempFolder temp;
        const QString folder = temp.makeFolder(u"papers"_s);
        const QString listFile = temp.filePath(u"downloads.dat"_s);
        QStringList urls;
        QList<QByteArray> bodies;
        for (int i = 0; i < c.Papers; ++i) {
            bodies.append(PdfBody(kPaperBytes, i + 1));
            const QByteArray target = "/paper" + QByteArray::number(i) + ".pdf";
            // Slow enough that the kill comes in the middle of the bodies.
            server.route(target, Route{.Body = bodies.back(), .DripBytes = 2000, .DripMs = 20});
            urls.append(server.url(QString::fromLatin1(target)));
        }
        const QStringList options{u"--list"_s, listFile, u"--folder"_s, folder, u"--method"_s,
                                  QString::fromLatin1(c.Method), u"--policy"_s, u"skip"_s};

        QProcess run;
        run.start(QStringLiteral(KEPTRUN_PROGRAM), options + urls);
        ASSERT_TRUE(run.waitForStarted()) << c.Label;
        // Bodies well on their way, and the list kept with them downloading.
        ASSERT_TRUE(QTest::qWaitFor([&] { return partBytes(folder) >= 40000 && QFile::exists(listFile); }, 20000))
            << c.Label;
        QTest::qWait(400);
        run.kill();
        ASSERT_TRUE(run.waitForFinished()) << c.Label;
        const QStringList cutOff = [&] {
            QStringList asked;
            for (int i = 0; i < c.Papers; ++i) {
                // A paper that was whole before the kill (a slow machine) is
                // kept, not fetched again.
                const QString name = u"paper"_s + QString::number(i) + u".pdf"_s;
                if (timesAsked(server, "/" + name.toLatin1()) > 0 && !QFile::exists(folder + u'/' + name))
                    asked.append(name);
            }
            return asked;
        }();
        ASSERT_FALSE(cutOff.isEmpty()) << c.Label;
        for (int i = 0; i < c.Papers; ++i) {
            const QString path = folder + u"/paper"_s + QString::number(i) + u".pdf"_s;
            if (QFile::exists(path)) {
                EXPECT_EQ(contents(path), bodies[i]) << c.Label << " " << qPrintable(path); // whole, or not there
            }
        }
        // What an earlier version left of a download a kill cut off: its
        // claim of the name, two bytes, which "跳过" must not take for the paper.
        const QString claimed = folder + u"/paper"_s + QString::number(c.Papers - 1) + u".pdf"_s;
        if (!QFile::exists(claimed))
            temp.writeFile(u"papers/paper"_s + QString::number(c.Papers - 1) + u".pdf"_s, QByteArray("\x01\x00", 2));

        for (int i = 0; i < c.Papers; ++i)
            server.route("/paper" + QByteArray::number(i) + ".pdf", Route{.Body = bodies[i]});
        QProcess again;
        again.start(QStringLiteral(KEPTRUN_PROGRAM), options);
        ASSERT_TRUE(again.waitForStarted()) << c.Label;
        ASSERT_TRUE(QTest::qWaitFor([&] { return again.state() == QProcess::NotRunning; }, 60000)) << c.Label;
        EXPECT_EQ(again.exitCode(), 0) << c.Label << again.readAllStandardError().toStdString();
        EXPECT_EQ(again.readAllStandardOutput().trimmed(),
                  "completed=" + QByteArray::number(c.Papers) + " failed=0") << c.Label;

        for (int i = 0; i < c.Papers; ++i) {
            const QString name = u"paper"_s + QString::number(i) + u".pdf"_s;
            EXPECT_EQ(contents(folder + u'/' + name), bodies[i]) << c.Label << " " << qPrintable(name);
            if (cutOff.contains(name)) {
                EXPECT_EQ(timesAsked(server, "/" + name.toLatin1()), 2) << c.Label << " " << qPrintable(name);
            }
        }
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), c.Papers)
            << c.Label << ": no part file or claim is left";
        DownloadList kept;
        DownloadTableModel model(kept);
        RecordingPrompts prompts;
        ASSERT_TRUE(downloadlistfile::Restore(listFile, model, prompts)) << c.Label;
        ASSERT_EQ(kept.count(), c.Papers) << c.Label;
        for (const DownloadTask& task : kept.tasks()) {
            EXPECT_EQ(task.State, TaskState::Completed) << c.Label << " " << qPrintable(task.Name);
            EXPECT_NE(task.Outcome, TaskOutcome::AlreadyThere) << c.Label << " " << qPrintable(task.Name);
        }
    }
}

} // namespace
