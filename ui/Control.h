// One control of a dialog, addressed by its id: a light view that can be
// copied freely. Every operation on a control whose dialog has no window, or
// whose id the dialog lacks, does nothing and reads as empty.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/Geometry.h"

namespace ui {

class Dialog;
class Font;
class Image;

class Control {
 public:
  Control() = default;
  Control(Dialog* dialog, int id) : dialog(dialog), id(id) {}

  Dialog* Owner() const { return dialog; }
  int Id() const { return id; }
  // True when the dialog has a window and that window has this control.
  bool Exists() const;

  // Window text. For a link control the caption, for a SysLink the markup.
  void SetText(const std::wstring& text);
  std::wstring Text() const;

  void Show(bool visible);
  // The control's own visible style (not whether its dialog is shown).
  bool IsVisible() const;
  void Enable(bool enabled);
  bool IsEnabled() const;
  void SetFocus();

  // Rectangle in the client coordinates of the control's dialog.
  Rect WindowRect() const;
  void MoveTo(const Rect& rect);
  std::uint32_t Style() const;
  // Removes, then adds style bits and lets the control redraw its frame.
  void ModifyStyle(std::uint32_t remove, std::uint32_t add);

  // Check boxes and radio buttons: kBstUnchecked or kBstChecked. Checking an
  // automatic radio button does not clear the others of its group; a click
  // by the user does.
  void SetCheck(int state);
  int Check() const;

  // Drop-down lists. AddItem returns the new item's index; Selection returns
  // kNoSelection when no item is selected.
  void ResetContent();
  int AddItem(const std::wstring& text);
  int ItemCount() const;
  std::wstring ItemText(int index) const;
  void SetSelection(int index);
  int Selection() const;

  // Progress bars.
  void SetRange(int minimum, int maximum);
  void SetPosition(int position);
  void SetStep(int step);
  void StepIt();
  // Starts or stops the marquee animation (it shows only with kPbsMarquee).
  void SetMarquee(bool on, unsigned intervalMilliseconds);

  // Fonts: the control uses the font until it is given another; the Font
  // object must outlive that use.
  void SetFont(const Font& font);

  // Image statics: painted stretched to the control's client rectangle; null
  // leaves the rectangle unpainted.
  void SetImage(std::shared_ptr<Image> image);

  // Link controls: the URL opened when the link is clicked, and a size that
  // fits the caption.
  void SetUrl(const std::wstring& url);
  std::wstring Url() const;
  void SizeToContent();

  // Rich text: turns the detection of URLs in the text on or off.
  void EnableUrlDetection(bool on);

 private:
  Dialog* dialog = nullptr;
  int id = 0;
};

}  // namespace ui
