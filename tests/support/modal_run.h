// Runs a dialog modally on the headless platform: the step runs once the dialog is up and idle,
// then the loop ends unless the step ended it first.
#pragma once

#include "framework/headless/headless_platform.h"

#include <functional>

template <typename TDialog>
INT_PTR RunModalWithStep(TDialog& dialog, const std::function<void(TDialog&)>& step) {
    bool bRan = false;
    Headless().onIdle = [&] {
        if (bRan) {
            return false;
        }
        bRan = true;
        step(dialog);
        return true;
    };
    const INT_PTR nResult = dialog.DoModal();
    Headless().onIdle = nullptr;
    return nResult;
}
