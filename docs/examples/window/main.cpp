// The smallest windowed program: a form with a meter, shown in a window by the SDL2 host.
#include <kel/KEL_Meter.h>
#include <kel/kel_forms.h>
#include <kel/sdl_host.h>

int main() {
    kel::TSDLHost host; // opens the display and shows every form in a window
    kel::TForm form(nullptr);
    form.SetCaption("kel");
    form.SetClientWidth(317);
    form.SetClientHeight(229);
    auto* meter = new kel::TMeter(&form); // the form owns the meter and frees it
    meter->SetParent(&form);
    meter->SetBounds(10, 10, 297, 209);
    meter->SetValue(42);
    form.Show();
    host.Run(&form); // until the window is closed
}
