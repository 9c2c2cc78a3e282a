#pragma once

// The colour-details window: the current colour in the notations of other tools, each
// with a copy button; an entry that takes a colour in any of them; the nearest named
// colour; the contrast against white, black and the marked favourite; and the colour as
// seen with three colour-vision deficiencies.
//
// It is a tool window of the main window, made on first use and kept until the main
// window goes. It holds no colour of its own: it watches the three sliders (the current
// colour, whatever changed it) and the favourite swatches (the marked one), reads them
// afresh and redraws once per pass of the event loop, so that a burst of changes costs
// one redraw. A colour typed into its entry goes into the number fields like every other
// source does, red first.

#include "colorcodes/colorcodes.h"
#include "colorcodes/colorformats.h"
#include "platform/desktop/toolwindow.h"

#include <array>
#include <optional>

class Chromalynx;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class PictureBox;
class ValueField;
} // namespace platform

class ContrastSample;

class DetailsWindow : public platform::ToolWindow {
    Q_OBJECT

public:
    explicit DetailsWindow(Chromalynx &owner);
    ~DetailsWindow() override;

    // What the window shows; public so that tests can read and work it.
    struct FormatRow {
        colorcodes::Format format;
        platform::ValueField *text;
        QPushButton *copy;
    };
    std::array<FormatRow, colorcodes::AllFormats.size()> rows{};
    QLineEdit *entry;
    QLabel *message; // why the entry could not be read; empty otherwise
    platform::PictureBox *nearestSwatch;
    platform::ValueField *nearestName; // "steelblue（完全一致）" or "red（ΔE00 0.2）"
    struct ContrastRow {
        QLabel *caption;
        ContrastSample *sample;
        platform::ValueField *ratio; // "4.48:1"
        // "○" passed, "×" failed: AA and AAA for normal text, then for large text.
        std::array<QLabel *, 4> verdicts;
    };
    std::array<ContrastRow, 3> contrast{}; // white, black, the marked favourite
    struct VisionRow {
        platform::PictureBox *swatch;
        platform::ValueField *code;
    };
    std::array<VisionRow, 3> vision{}; // protanopia, deuteranopia, tritanopia

    // Brings every shown value up to date with the main window's controls now.
    void refresh();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refreshSoon();
    void followAlwaysOnTop();
    void entry_Return();
    void copyRow(int index);

    Chromalynx &owner_;
    bool refreshQueued_ = false;
    bool placed_ = false;
    // What was last shown, so that a redraw with nothing new is skipped.
    struct Shown {
        colorcodes::ColorValue color;
        colorcodes::ColorValue favorite;
        std::size_t marked;
        bool operator==(const Shown &) const = default;
    };
    std::optional<Shown> shown_;
};
