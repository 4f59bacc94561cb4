#include "newversioncheck.h"

#include "core/systemprobes.h"
#include "core/versioncheck.h"

using namespace Qt::Literals::StringLiterals;

NewVersionCheck::NewVersionCheck(NetworkContext network, QString server, QObject* parent)
    : QObject(parent)
    , uXMLHTTP2(std::move(network))
    , m_server(std::move(server))
{
    connect(&uXMLHTTP2, &uXMLHTTP::DataArrived, this, &NewVersionCheck::onArrived);
    connect(&uXMLHTTP2, &uXMLHTTP::OnDateErr, this, [this](const QString&) { emit requestFailed(); });
}

void NewVersionCheck::start()
{
    if (m_server.isEmpty())
        return;
    uXMLHTTP2.Open_(u"GET"_s, VersionFileAddress(m_server), QString());
    uXMLHTTP2.Send_();
}

QString NewVersionCheck::programPage() const
{
    return ProgramPageAddress(m_server);
}

void NewVersionCheck::onArrived()
{
    if (const std::optional<QString> notice = NewerVersionNotice(uXMLHTTP2.ResponseText(), CurrentProgramVersion()))
        emit newerVersion(*notice);
}
