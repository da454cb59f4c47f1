// EngineeringController: display mode 4, the engineering display. Its worker is the read-all thread,
// started through the starter that the engineering display plugs in.
#pragma once

#include "session/ModeController.h"

#include <functional>

namespace kpd {

class SessionView;

class EngineeringController : public ModeController {
public:
    explicit EngineeringController(SessionView &view) : view_(view) {}

    DisplayMode Mode() const override { return DisplayMode::Engineering; }
    void Layout() override;
    void SetDataControl(DataState state) override;

    std::function<void()> startReadAll;

private:
    SessionView &view_;
};

} // namespace kpd
