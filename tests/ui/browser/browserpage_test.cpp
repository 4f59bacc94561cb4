#include "browsertesting.h"

#include "support/testhttpserver.h"

#include <QApplication>
#include <QDialog>
#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

TestHttpServer::Route htmlPage(const QByteArray& body)
{
    TestHttpServer::Route route;
    route.Body = body;
    route.ContentType = "text/html";
    return route;
}

int visibleWindows()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return static_cast<int>(std::count_if(windows.begin(), windows.end(), [](const QWidget* w) { return w->isVisible(); }));
}

int requestsFor(const TestHttpServer& server, const QByteArray& target)
{
    return static_cast<int>(std::count_if(server.requests.begin(), server.requests.end(),
                                          [&target](const TestHttpServer::Request& r) { return r.Target == target; }));
}

// Answers every dialog that opens and keeps the texts it showed.
class DialogWatcher final {
public:
    DialogWatcher()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            QStringList texts;
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                texts << label->text();
            shown << texts.join(u'|');
            // A message box answers with the button pressed, not the dialog result.
            auto* box = qobject_cast<QMessageBox*>(dialog);
            QAbstractButton* yes = box != nullptr ? box->button(QMessageBox::Ok) : nullptr;
            if (yes != nullptr)
                yes->click();
            else
                dialog->accept();
        });
        m_timer.start();
    }

    QStringList shown;

private:
    QTimer m_timer;
};

// Script dialogs would stop an unattended run: silent swallows them and the
// script goes on as if each was cancelled; otherwise they are shown and the
// answer reaches the script.
TEST(BrowserPage, SilentModeDecidesWhetherScriptDialogsShow)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/page", htmlPage("<html><body>page</body></html>"));
    BrowserPage page(SharedProfile());
    QWebEngineView view; // dialogs need a view to show on
    view.setPage(&page);
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(LoadAndWait(page, QUrl(server.url(u"/page"_s))));

    const QString script = u"(() => { alert('first'); const c = confirm('second'); const p = prompt('third', 'd');"
                           "return [c, p === null ? 'null' : p].join(' '); })()"_s;
    {
        DialogWatcher watcher;
        page.setSilent(true);
        EXPECT_EQ(RunInPage(page, script).toString(), u"false null"_s);
        EXPECT_TRUE(watcher.shown.isEmpty()) << watcher.shown.join(u", "_s).toStdString();
    }
    {
        DialogWatcher watcher;
        page.setSilent(false);
        EXPECT_EQ(RunInPage(page, script).toString(), u"true d"_s);
        ASSERT_EQ(watcher.shown.size(), 3);
        EXPECT_TRUE(watcher.shown[0].contains(u"first"_s));
        EXPECT_TRUE(watcher.shown[1].contains(u"second"_s));
        EXPECT_TRUE(watcher.shown[2].contains(u"third"_s));
    }
    view.setPage(nullptr);
}

// Only a document that arrived completes: an error page does (it is what the
// browser shows), a link that turns into a download does not (the page stays
// as it was), though both end the busy state.
TEST(BrowserPage, OnlyADocumentThatArrivedCompletes)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/start", htmlPage("<html><body><a id='missing' href='/missing'>Next</a>"
                                    "<a id='file' href='/file'>Next</a></body></html>"));
    TestHttpServer::Route file;
    file.Body = PdfBody(4000);
    file.ContentType = "application/octet-stream";
    file.Headers = {{"Content-Disposition", "attachment; filename=article.pdf"}};
    server.route("/file", file);
    BrowserPage page(SharedProfile());
    WebSearchBrowser browser(page);

    struct Case {
        const char* label;
        QString id;
        bool completes;
        QString urlAfter;
    } cases[] = {
        {"page not found", u"missing"_s, true, u"/missing"_s},
        {"download", u"file"_s, false, u"/start"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(LoadAndWait(page, QUrl(server.url(u"/start"_s))));
        QSignalSpy complete(&page, &BrowserPage::documentComplete);
        QSignalSpy busy(&page, &BrowserPage::busyChanged);
        ASSERT_TRUE(ClickNow(browser, ReadNow(browser).getElementById(c.id), u"A"_s));
        ASSERT_TRUE(WaitUntil([&] { return busy.size() >= 2; })) << "the load never ended";
        EXPECT_FALSE(page.isBusy());
        QTest::qWait(100);
        EXPECT_EQ(complete.size(), c.completes ? 1 : 0);
        EXPECT_EQ(page.url().toString(), server.url(c.urlAfter));
    }
}

// The status text follows the pointer over a link and falls back to the
// state of the load when it leaves.
TEST(BrowserPage, StatusTextShowsTheHoveredLink)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/page", htmlPage("<html><body style='margin:0'>"
                                   "<a href='/target' style='display:block;width:200px;height:50px'>link</a>"
                                   "<div style='height:200px'>below</div></body></html>"));
    BrowserPage page(SharedProfile());
    QWebEngineView view;
    view.setPage(&page);
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(LoadAndWait(page, QUrl(server.url(u"/page"_s))));
    EXPECT_EQ(page.statusText(), u"完成"_s);
    // The view's input goes to its render widget once the page has drawn.
    ASSERT_TRUE(WaitUntil([&view] { return view.focusProxy() != nullptr; }));
    QWidget* input = view.focusProxy();
    QSignalSpy status(&page, &BrowserPage::statusTextChanged);

    // The first frame comes a little after the load: before it, nothing is
    // under the pointer.
    QTest::qWait(300);
    QTest::mouseMove(input, QPoint(20, 20));
    EXPECT_TRUE(WaitUntil([&] { return page.statusText() == server.url(u"/target"_s); }, 5000))
        << page.statusText().toStdString();
    QTest::mouseMove(input, QPoint(20, 150));
    EXPECT_TRUE(WaitUntil([&] { return page.statusText() == u"完成"_s; }, 5000)) << page.statusText().toStdString();
    ASSERT_GE(status.size(), 2);
    EXPECT_EQ(status.last().first().toString(), u"完成"_s);
    view.setPage(nullptr);
}

// A page that asks for a new window gets the address in the same page, and
// no second window or page appears.
TEST(BrowserPage, NewWindowsOpenInThePageItself)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/start", htmlPage(R"html(<html><body>
<a id="blank" href="/by-link" target="_blank">open</a>
<button id="opener" onclick="window.open('/by-script', 'other', 'width=200')">open</button>
<button id="blankOpener" onclick="window.open('', 'empty')">open</button>
</body></html>)html"));
    server.route("/by-link", htmlPage("<html><body>by link</body></html>"));
    server.route("/by-script", htmlPage("<html><body>by script</body></html>"));
    BrowserPage page(SharedProfile());
    WebSearchBrowser browser(page);
    QWebEngineView view;
    view.setPage(&page);
    view.show();
    ASSERT_EQ(visibleWindows(), 1);

    struct Case {
        const char* label;
        QString id;
        QString tag;
        QByteArray target;
    } cases[] = {
        {"link with target _blank", u"blank"_s, u"A"_s, "/by-link"},
        {"window.open", u"opener"_s, u"BUTTON"_s, "/by-script"},
        {"window.open without an address", u"blankOpener"_s, u"BUTTON"_s, "/start"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(LoadAndWait(page, QUrl(server.url(u"/start"_s))));
        const DomSnapshot start = ReadNow(browser);
        QSignalSpy complete(&page, &BrowserPage::documentComplete);
        const int requestsBefore = requestsFor(server, c.target);
        ASSERT_TRUE(ClickNow(browser, start.getElementById(c.id), c.tag));
        if (c.target != "/start") {
            ASSERT_TRUE(complete.wait(20000));
        } else {
            QTest::qWait(300);
            EXPECT_TRUE(complete.isEmpty()) << "the page was replaced";
        }
        EXPECT_EQ(page.url().toString(), server.url(QString::fromUtf8(c.target)));
        EXPECT_EQ(requestsFor(server, c.target), requestsBefore + (c.target != "/start" ? 1 : 0));
        EXPECT_EQ(visibleWindows(), 1);
    }
    // The page cannot close the browser either.
    RunInPage(page, u"window.close()"_s);
    QTest::qWait(100);
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(page.url().toString(), server.url(u"/start"_s));
    view.setPage(nullptr);
}

} // namespace
