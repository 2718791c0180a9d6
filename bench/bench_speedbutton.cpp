// Repainting a speed button, per call: the face drawn anew after a change
// (dialog button with caption, title bar button with glyph), and the repaint
// of an unchanged button, which only copies the cached face.
#include "benchsupport.h"
#include "controls/stspeedbutton.h"

#include <QCoreApplication>
#include <QWidget>

namespace {

struct Window {
    QWidget window;
    TstSpeedButton *button = new TstSpeedButton(&window);

    Window() {
        window.resize(120, 60);
        button->SetColor(6513507);
        button->SetColorDown(6513507);
        button->SetFontColor(clLime);
        button->SetFontColorDown(clLime);
        window.show();
        QCoreApplication::processEvents();
    }
};

void DialogButton(TstSpeedButton &b) {
    b.setGeometry(10, 10, 75, 25);
    b.SetBorderWidth(1);
    b.SetBorderColor(3158064);
    QFont font("Arial");
    font.setPixelSize(11);
    b.setFont(font);
    b.SetCaption("Cancel");
}

void TitleButton(TstSpeedButton &b) {
    b.setGeometry(10, 10, 14, 14);
    b.SetKind(stbkCloseCross);
    QFont font("Arial Black");
    font.setPixelSize(11);
    font.setBold(true);
    b.setFont(font);
}

// Each call changes the face colour, so the whole face is drawn again.
void Redraw(benchmark::State &state, void (*setUp)(TstSpeedButton &)) {
    Window w;
    setUp(*w.button);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        w.button->SetColor(flip ? 6513508 : 6513507);
        w.button->repaint();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_SpeedButtonRedrawCaption(benchmark::State &state) {
    Redraw(state, DialogButton);
}
BENCHMARK(BM_SpeedButtonRedrawCaption);

void BM_SpeedButtonRedrawGlyph(benchmark::State &state) {
    Redraw(state, TitleButton);
}
BENCHMARK(BM_SpeedButtonRedrawGlyph);

// Pressing and releasing: two state changes, two repaints.
void BM_SpeedButtonPressRelease(benchmark::State &state) {
    Window w;
    DialogButton(*w.button);
    for (auto _ : state) {
        w.button->SetGroupIndex(1);
        w.button->SetDown(true);
        w.button->repaint();
        w.button->SetAllowAllUp(true);
        w.button->SetDown(false);
        w.button->SetAllowAllUp(false);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_SpeedButtonPressRelease);

// Nothing changed: the cached face is copied.
void BM_SpeedButtonRepaintCached(benchmark::State &state) {
    Window w;
    DialogButton(*w.button);
    w.button->repaint();
    for (auto _ : state)
        w.button->repaint();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SpeedButtonRepaintCached);

} // namespace

K740_BENCHMARK_MAIN();
