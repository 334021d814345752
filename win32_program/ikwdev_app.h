#pragma once
// The application object: its start-up routine is the whole run of the program.

#include "framework/application.h"
#include "platform/html_help_viewer.h"

class CIkwDevApp : public fw::Application {
public:
    CIkwDevApp();
    bool InitInstance() override;

protected:
    // The help page of the main window from the HTML Help file beside the
    // executable; without that file, the framework's WinHelp call.
    void OnHelp() override;

private:
    ikw::HtmlHelpViewer m_helpViewer;
};
