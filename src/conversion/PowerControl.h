#pragma once

#include "conversion/BatchDriver.h"

// Powers the computer off through systemd-logind's PowerOff on the system
// bus. Whether it is allowed is polkit's decision (it may ask the user); a
// missing bus or a refusal is reported as false and otherwise ignored.
class TLogindPowerControl : public TPowerControl
{
public:
    bool PowerOff() override;
};
