#pragma once

#include "core/autologin.h"
#include "downloads/engine/soundclips.h"
#include "transfers/transfer.h"

#include <QFile>
#include <QList>
#include <QPointer>

#include <memory>

// A transfer that does nothing by itself; the test raises its events.
class FakeTransfer final : public Transfer {
public:
    void BeginDownload(const QString& url, const QString& saveFile, const QString& referer) override
    {
        Url = url;
        SaveFile = saveFile;
        Referer = referer;
    }
    void Cancel() override { Cancelled = true; }
    void SaveInto(const QString& saveFile) override { SavedInto = saveFile; }
    HostAnswer hostAnswer() const override { return Answer; }
    QString Url, SaveFile, Referer, SavedInto;
    HostAnswer Answer;
    bool Cancelled = false;
};

struct FakeTransfers final : TransferFactory {
    std::unique_ptr<Transfer> createTransfer() override
    {
        auto transfer = std::make_unique<FakeTransfer>();
        started.append(transfer.get());
        return transfer;
    }
    QList<QPointer<FakeTransfer>> started;
};

struct FakeSounds final : SoundPlayer {
    void PlayNotifySound(int id) override { played.append(id); }
    QList<int> played;
};

struct FakeLogin final : AutoLogin {
    void LoginToSite(bool silent) override { calls.append(silent); }
    QList<bool> calls;
};

