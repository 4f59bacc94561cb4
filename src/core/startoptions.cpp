#include "startoptions.h"

#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

StartOptions refuse(const QString& why)
{
    return StartOptions{StartOptions::Action::Refuse, {}, why};
}

// Only a page the browser can show and the site's links can be resolved
// against: a web address with a host.
bool isWebAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http"_s || scheme == u"https"_s) && !url.host().isEmpty();
}

} // namespace

StartOptions ParseStartOptions(const QStringList& arguments)
{
    StartOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--help"_s || arg == u"-h"_s)
            return StartOptions{StartOptions::Action::ShowHelp, {}, {}};
        if (arg == u"--version"_s)
            return StartOptions{StartOptions::Action::ShowVersion, {}, {}};
        QString page;
        if (arg == u"--home-page"_s) {
            if (i + 1 >= arguments.size())
                return refuse(u"--home-page needs an address"_s);
            page = arguments[++i];
        } else if (arg.startsWith(u"--home-page="_s)) {
            page = arg.sliced(12);
        } else if (arg.startsWith(u'-')) {
            return refuse(u"unknown option "_s + arg);
        } else {
            return refuse(u"unexpected argument "_s + arg);
        }
        page = page.trimmed();
        if (!isWebAddress(page))
            return refuse(u"--home-page wants an http or https address, not \""_s + page + u'"');
        options.HomePage = page;
    }
    return options;
}

QString StartOptionsHelp()
{
    return u"usage: paperpull [--home-page URL]\n"
           "Finds and fetches journal articles: search the site in the search window,\n"
           "hand the articles to the download window, and let it fetch the PDFs.\n"
           "\n"
           "  --home-page URL  open URL in the search window instead of the site's home\n"
           "                   page (tools/demo points it at the local demo site)\n"
           "  --version        print the program's version and exit\n"
           "  -h, --help       print this help and exit\n"
           "\n"
           "Exit status: 0 when the program ended normally, 2 for a wrong command line,\n"
           "3 when there is no display to open the windows on.\n"_s;
}

SandboxRefusal RefuseRootWithSandbox(bool runningAsRoot, bool sandboxSwitchedOff)
{
    if (!runningAsRoot || sandboxSwitchedOff)
        return {};
    return {u"the browser's sandbox cannot run as root. Start Paperpull as a normal user, or, knowing that "
            u"web pages then run unconfined, set QTWEBENGINE_DISABLE_SANDBOX=1."_s,
            u"浏览器的沙盒不能以 root 身份运行。请以普通用户身份启动 Paperpull；"
            u"或者在明白网页将不受沙盒限制的前提下，设置环境变量 QTWEBENGINE_DISABLE_SANDBOX=1。"_s};
}

bool BrowserSandboxSwitchedOff(bool disableSandboxSet, const QString& chromiumFlags)
{
    return disableSandboxSet || chromiumFlags.split(u' ', Qt::SkipEmptyParts).contains(u"--no-sandbox"_s);
}
