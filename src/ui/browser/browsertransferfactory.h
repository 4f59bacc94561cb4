#pragma once

#include "browsertransfer.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QWebEngineDownloadRequest;

// Makes the browser's transfers on the program's profile, each with the size
// limit of the moment it starts, and hands each the profile's download
// request of its own page. One factory per use: the browser's method opens
// the task's address at once; the fallback of the other methods first
// visits the task's result page, so the site's check runs there as it would
// for a reader.
class BrowserTransferFactory final : public QObject, public TransferFactory {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserTransferFactory)

public:
    BrowserTransferFactory(BrowserProfile& profile, const ProgramValues& values, SecondsClock clock,
                           bool visitRefererFirst, BrowserTransfer::Timing timing = {}, QObject* parent = nullptr);

    std::unique_ptr<Transfer> createTransfer() override;

    void setTiming(const BrowserTransfer::Timing& timing) { m_timing = timing; }

signals:
    // A transfer's page shows a check only the user can pass; it waits.
    void userCheckNeeded(QWebEnginePage* page);
    // That page is done with (passed, or its transfer ended): show it no more.
    void userCheckOver(QWebEnginePage* page);

private:
    void onDownloadRequested(QWebEngineDownloadRequest* request);

    BrowserProfile& m_profile;
    const ProgramValues& m_values;
    SecondsClock m_clock;
    bool m_visitRefererFirst;
    BrowserTransfer::Timing m_timing;
    QList<QPointer<BrowserTransfer>> m_live;
};
