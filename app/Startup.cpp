// The program's start-up and shut-down.
#include "app/Startup.h"

#include "app/DlgFind.h"
#include "app/Main.h"
#include "app/ShellApp.h"
#include "components/ZalFxFnt.h"
#include "components/ZalIntl.h"
#include "components/ZalSrMgr.h"
#include "platform/Application.h"

std::unique_ptr<TApplication> StartApplication(std::vector<std::string> arguments) {
    InitZalStrings();
    InitZalIntl();
    BuildFixedFamilyList();
    auto app = std::make_unique<TApplication>();
    app->SetArguments(std::move(arguments));
    app->SetTitle("Marvolt!");
    bool started = false;
    app->Guard([&] {
        app->CreateForm<TMainForm>();
        app->CreateForm<TFindDlg>(); // hidden until Find
        started = true;
    });
    if (!started) return nullptr;
    return app;
}

void FreeGlobals() {
    FreeFixedFamilyList();
    DoneZalIntl();
    DoneZalStrings();
}

int RunMarvolt(int argc, char** argv) {
    EnsureApplication(argc, argv);
    int code = 1;
    {
        std::unique_ptr<TApplication> app = StartApplication(std::vector<std::string>(argv, argv + argc));
        if (app) code = app->Run();
    }
    FreeGlobals();
    ShutdownApplication();
    return code;
}
