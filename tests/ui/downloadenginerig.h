#pragma once

#include "ui/browser/browsertesting.h"

#include "downloads/engine/downloadscontroller.h"
#include "ui/browser/enginebrowsertransfers.h"

// What the program builds before its download window: the engine, with the
// browser's transfers given to it. It outlives the windows made over it, as
// in the program.
struct DownloadEngineRig {
    DownloadEngineRig(ProgramValues& values, UserPrompts& prompts, Shell& shell, SoundPlayer& sounds,
                      DownloadsSetup setup = {.UserAgent = QStringLiteral("PaperpullTest")})
        : engine(values, prompts, shell, sounds, std::move(setup))
        , browser(SharedProfile(), engine)
    {
    }

    DownloadsController engine;
    EngineBrowserTransfers browser;
};
