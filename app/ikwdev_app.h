#pragma once
// The application object: its start-up routine is the whole run of the program.

#include <string>

#include "framework/application.h"

class CIkwDevApp : public fw::Application {
public:
    bool InitInstance() override;

    std::u16string m_strExcludedPrinter;
};
