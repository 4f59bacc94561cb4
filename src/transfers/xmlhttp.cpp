#include "xmlhttp.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

namespace {

enum ReadyStates { Uninitialised = 0, Opened = 1, Sent = 2, Receiving = 3, Done = 4 };

const QHash<int, QString>& statusDescriptions()
{
    static const QHash<int, QString> table = {
        {100, u"客户必须继续发出请求"_s},
        {101, u"客户要求服务器根据请求转换HTTP协议版本"_s},
        {200, u"交易成功"_s},
        {201, u"提示知道新文件的URL"_s},
        {202, u"接受和处理?但处理未完成"_s},
        {203, u"返回信息不确定或不完整"_s},
        {204, u"请求收到，但返回信息为空"_s},
        {205, u"服务器完成了请求，用户代理必须复位当前已经浏览过的文件"_s},
        {206, u"服务器已经完成了部分用户的GET请求"_s},
        {300, u"请求的资源可在多处得到"_s},
        {301, u"删除请求数据"_s},
        {302, u"在其他地址发现了请求数据"_s},
        {303, u"建议客户访问其他URL或访问方式"_s},
        {304, u"客户端已经执行了GET，但文件未变化"_s},
        {305, u"请求的资源必须从服务器指定的地址得到"_s},
        {306, u"前一版本HTTP中使用的代码，现行版本中不再使用"_s},
        {307, u"申明请求的资源临时性删除"_s},
        {400, u"错误请求，如语法错误"_s},
        {401, u"请求授权失败"_s},
        {402, u"保留有效ChargeTo头响应"_s},
        {403, u"请求不允许"_s},
        {404, u"没有发现文件?查询或URl"_s},
        {405, u"用户在Request -Line字段定义的方法不允许"_s},
        {406, u"根据用户发送的Accept拖，请求资源不可访问"_s},
        {407, u"类似401，用户必须首先在代理服务器上得到授权"_s},
        {408, u"客户端没有在用户指定的饿时间内完成请求"_s},
        {409, u"对当前资源状态，请求不能完成"_s},
        {410, u"服务器上不再有此资源且无进一步的参考地址"_s},
        {411, u"服务器拒绝用户定义的Content -Length属性请求"_s},
        {412, u"一个或多个请求头字段在当前请求中错误"_s},
        {413, u"请求的资源大于服务器允许的大小"_s},
        {414, u"请求的资源URL长于服务器允许的长度"_s},
        {415, u"请求资源不支持请求项目格式"_s},
        {416, u"请求中包含Range请求头字段，在当前请求资源范围内没有range指示值，请求也不包含If-Range请求头字段"_s},
        {417, u"服务器不满足请求Expect头字段指定的期望值，如果是代理服务器，可能是下一级服务器不能满足请求"_s},
        {500, u"服务器产生内部错误"_s},
        {501, u"服务器不支持请求的函数"_s},
        {502, u"服务器暂时不可用，有时是为了防止发生系统过载"_s},
        {503, u"服务器过载或暂停维修"_s},
        {504, u"关口过载，服务器使用另一个关口或服务来响应用户，等待时间设定值较长"_s},
        {505, u"服务器不支持或拒绝支请求头中指定的HTTP版本"_s},
    };
    return table;
}

} // namespace

uXMLHTTP::uXMLHTTP(NetworkContext context, QObject* parent)
    : QObject(parent)
    , m_context(std::move(context))
{
}

uXMLHTTP::~uXMLHTTP()
{
    Abort_();
}

QString uXMLHTTP::StatusDescription(int status)
{
    return statusDescriptions().value(status);
}

void uXMLHTTP::setReadyState(int state)
{
    if (m_readyState == state)
        return;
    m_readyState = state;
    emit OnReadyStateChange();
}

void uXMLHTTP::Open_(const QString& method, const QString& url, const QString& saveFile)
{
    Abort_();
    m_done = false;
    m_method = method.toUpper();
    m_url = QUrl(url);
    m_saveFile = saveFile;
    m_requestHeaders.clear();
    m_status = 0;
    m_statusText.clear();
    m_responseHeaders.clear();
    m_body.clear();
    m_contentType.clear();
    m_readyState = Opened;
}

void uXMLHTTP::SetRequestHeader(const QString& name, const QString& value)
{
    if (m_readyState != Opened || name.isEmpty())
        return;
    m_requestHeaders.append({name.toLatin1(), value.toLatin1()});
}

void uXMLHTTP::Send_(const QByteArray& body)
{
    if (m_readyState != Opened || m_context.Layer == nullptr || !m_url.isValid())
        return;
    dropExchange();
    m_exchange = std::make_unique<HttpExchange>(m_context);
    // Small answers (a version text, a page): kept in memory as they come.
    m_exchange->setBodySink([this](const char* data, qint64 size) {
        m_body.append(data, size);
        return true;
    });
    connect(m_exchange.get(), &HttpExchange::headReceived, this, [this] { setReadyState(Receiving); });
    connect(m_exchange.get(), &HttpExchange::finished, this, &uXMLHTTP::onFinished);
    HttpRequest request{.Url = m_url, .Method = m_method.toLatin1(), .Headers = m_requestHeaders, .Body = body};
    m_exchange->start(request);
    setReadyState(Sent);
}

void uXMLHTTP::Abort_()
{
    dropExchange();
}

void uXMLHTTP::dropExchange()
{
    if (!m_exchange)
        return;
    m_exchange->abort();
    // Not deleted here: this may run inside one of the exchange's signals.
    m_exchange.release()->deleteLater();
}

void uXMLHTTP::onFinished()
{
    if (!m_exchange)
        return;
    // No response at all leaves status 0, whose description is empty.
    const HttpResponseHead head = m_exchange->outcome().ok() ? m_exchange->head() : HttpResponseHead{};
    if (!m_exchange->outcome().ok())
        m_body.clear();
    dropExchange();
    m_status = head.Status;
    m_statusText = QString::fromLatin1(head.Reason);
    m_responseHeaders = head.Headers;
    m_contentType = head.header("Content-Type");
    m_done = true;
    setReadyState(Done);

    if (m_status == 200) {
        // An empty body leaves any file that is there untouched.
        if (!m_saveFile.isEmpty() && !m_body.isEmpty()) {
            QSaveFile file(m_saveFile);
            if (file.open(QIODevice::WriteOnly) && file.write(m_body) == m_body.size())
                file.commit();
        }
        emit DataArrived();
        return;
    }
    if (m_status >= 0 && m_status <= 600)
        emit OnDateErr(StatusDescription(m_status));
}

QString uXMLHTTP::GetResponseHeader(const QString& name) const
{
    const QByteArray wanted = name.toLatin1().toLower();
    for (const auto& [header, value] : m_responseHeaders) {
        if (header.toLower() == wanted)
            return QString::fromLatin1(value);
    }
    return {};
}

QString uXMLHTTP::GetAllResponseHeaders() const
{
    QString all;
    for (const auto& [header, value] : m_responseHeaders)
        all += QString::fromLatin1(header) + u": "_s + QString::fromLatin1(value) + u"\r\n"_s;
    return all;
}

QString uXMLHTTP::ResponseText() const
{
    // The charset the response names, else UTF-8, as a request object decodes.
    const qsizetype at = m_contentType.toLower().indexOf("charset=");
    if (at >= 0) {
        QByteArray charset = m_contentType.mid(at + 8).trimmed();
        charset = charset.left(charset.indexOf(';') >= 0 ? charset.indexOf(';') : charset.size()).replace('"', "");
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(m_body);
    }
    return QString::fromUtf8(m_body);
}
