// The form fixture of the suites that test controls on a form: a borderless form on the headless
// host, shown, with the application state (posted messages, exceptions, held keys) reset before
// and after each test.
#pragma once

#include "headless.h"
#include "kel_app.h"
#include "kel_forms.h"

#include <gtest/gtest.h>

#include <memory>

namespace kel::test {

class FormTest : public ::testing::Test {
  protected:
    // The form's size and colour; clNone keeps the colour a new form has.
    explicit FormTest(int Width = 200, int Height = 150, TColor Color = clWhite)
        : FWidth(Width), FHeight(Height), FColor(Color) {}

    // Creates, sizes and shows the form and paints it once. Suites that add controls override
    // SetUp, call this first and then build on `form`.
    void SetUp() override {
        ReleaseAllKeys();
        Application->ResetState();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, FWidth, FHeight);
        if (FColor != clNone) form->SetColor(FColor);
        form->Show();
        headless::Flush();
    }
    // Frees the form with everything on it, then delivers what the freeing posted.
    void TearDown() override {
        form.reset();
        headless::Flush();
        ReleaseAllKeys();
        Application->ResetState();
    }

    std::unique_ptr<TForm> form;

  private:
    int FWidth, FHeight;
    TColor FColor;
};

} // namespace kel::test
