#pragma once

// The main window and everything the program does.
//
// The controls are the model. The current colour is the values of the three sliders, the
// notation is which of Option_HTML, Option_VB and Option_DEC is selected, a favourite is
// its swatch's background colour and each option is its check box's value; no handler
// keeps state of its own, each reads the controls afresh. Every source of a colour (the
// code field on Enter, the colour dialog, the colour-name lists, the favourites, the
// screen picker, start-up) writes the decimal texts of red, green and blue into RText,
// GText and BText, in that order. Each number field's Change clamps its text, moves its
// slider, rewrites the code field from all three sliders in the chosen notation and
// repaints the preview swatch; a slider's own Change or Scroll only writes its value back
// into its field. Those chains rest on the rules kept by the controls in platform/: a
// program write runs the written control's handler at once, nested, and a write that
// changes nothing runs nothing.
//
// The handlers are grouped by area: editor.cpp (sliders, number fields, code field,
// colour dialog, copy), colornames.cpp, favorites.cpp, options.cpp (always on top, help,
// About), screenpick.cpp (a colour from the screen), details.cpp (the colour-details
// window) and lifecycle.cpp (start-up and shut-down); readings.cpp gives assistive
// technology the swatches' colours in words.

#include "app/services.h"
#include "colorcodes/colorcodes.h"
#include "platform/controls/form.h"

#include <array>
#include <cstdint>
#include <string_view>

class QAction;
class QPushButton;
class QGroupBox;
class QLabel;
class QMenu;

namespace platform {
class CheckBox;
class ListBox;
class OptionButton;
class PictureBox;
class ScrollBar;
class TextBox;
} // namespace platform

class Chromalynx : public platform::Form {
    Q_OBJECT

public:
    // Creates the window and runs Form_Load; the caller shows it.
    explicit Chromalynx(const Services &services);
    ~Chromalynx() override;

    // The controls, named as in the window's layout; public so that tests can work them.
    platform::TextBox *RGBCode;
    QPushButton *CodeCopy;
    QPushButton *SelColor;
    platform::TextBox *RText;
    platform::TextBox *GText;
    platform::TextBox *BText;
    QPushButton *FavoriteClear;
    platform::PictureBox *Color;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    std::array<platform::PictureBox *, 9> FavoriteColor;
    platform::PictureBox *Picture1;
    platform::PictureBox *Picture2;
    QLabel *Label4;
    QLabel *Label5;
    std::array<QLabel *, 9> FavoriteNumber; // Label9 to Label17
    platform::OptionButton *Option_HTML;
    platform::OptionButton *Option_VB;
    platform::CheckBox *CheckFormtop;
    platform::CheckBox *CheckColorName;
    QLabel *Label6;
    platform::ListBox *ColorName1;
    platform::ListBox *ColorName2;
    platform::CheckBox *CheckChar;
    platform::ScrollBar *RSlider;
    platform::ScrollBar *GSlider;
    platform::ScrollBar *BSlider;
    QGroupBox *Frame1;
    platform::OptionButton *RGB_Sort;
    platform::OptionButton *Arphabet_Sort;
    platform::OptionButton *Option_DEC;

    QMenu *file;
    QAction *file_close;
    QMenu *favorite;
    QMenu *favorite_add_;
    std::array<QAction *, 9> favorite_add;
    QMenu *favorite_display_;
    std::array<QAction *, 9> favorite_display;
    QAction *favorite_clear;
    QMenu *display;
    QAction *display_colorname;
    QAction *display_formtop;
    QAction *display_pick;
    QAction *display_details;
    QMenu *mhelp;
    QAction *mhelp_display;
    QAction *mhelp_version;

    // Start-up and shut-down (lifecycle.cpp).
    void Form_Load();
    void Form_Unload();
    void file_close_Click();

    // Component rows (editor.cpp).
    void RSlider_Change();
    void RSlider_Scroll();
    void GSlider_Change();
    void GSlider_Scroll();
    void BSlider_Change();
    void BSlider_Scroll();
    void RText_Change();
    void GText_Change();
    void BText_Change();
    void RText_KeyPress(int &KeyAscii);
    void GText_KeyPress(int &KeyAscii);
    void BText_KeyPress(int &KeyAscii);
    void RText_GotFocus();
    void GText_GotFocus();
    void BText_GotFocus();

    // Code field and notation (editor.cpp).
    void Option_HTML_Click();
    void Option_VB_Click();
    void Option_DEC_Click();
    void RGBCode_GotFocus();
    void RGBCode_KeyPress(int &KeyAscii);

    // Colour dialog and copy (editor.cpp).
    void SelColor_Click();
    void CodeCopy_Click();

    // Colour-name lists (colornames.cpp).
    void ColorName1_DblClick();
    void ColorName2_Click();
    void RGB_Sort_Click();
    void Arphabet_Sort_Click();
    void CheckColorName_Click();
    void display_colorname_Click();

    // Favourites (favorites.cpp).
    void favorite_add_Click(int Index);
    void favorite_display_Click(int Index);
    void FavoriteColor_DblClick(int Index);
    void FavoriteColor_DragDrop(int Index, platform::PictureBox *Source);
    void Color_DragDrop(platform::PictureBox *Source);
    void favorite_clear_Click();
    void FavoriteClear_Click();

    // Always on top, help and About (options.cpp).
    void CheckFormtop_Click();
    void display_formtop_Click();
    void mhelp_display_Click();
    void mhelp_version_Click();

    // A colour from anywhere on the screen (screenpick.cpp).
    void display_pick_Click();

    // The colour-details window (details.cpp).
    void display_details_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void createMenus();
    void connectHandlers();
    // What assistive technology reads of the swatches and can do with them (readings.cpp).
    void createReadings();
    QString ColorReading(colorcodes::ColorValue color) const;

    // The shared body of the three rows' handlers.
    void ComponentText_Change(platform::TextBox &field, platform::ScrollBar &slider);
    void ComponentSlider_Change(platform::ScrollBar &slider, platform::TextBox &field);
    // Writes three components into the number fields, red first.
    void SetComponents(std::int32_t red, std::int32_t green, std::int32_t blue);
    // The same from six hexadecimal digits RRGGBB; missing digits count as 0.
    void SetComponentsFromHex(std::string_view rrggbb);

    Services services_;
};
