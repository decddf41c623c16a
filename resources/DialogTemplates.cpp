// The wizard's dialog templates (the host window, the About box and every
// page) and its strings. Rectangles are in dialog units (x, y, width,
// height).
#include <algorithm>
#include <array>
#include <span>

#include "resources/DialogIds.h"
#include "resources/Resource.h"
#include "ui/DialogTemplate.h"
#include "ui/StringTable.h"
#include "ui/WindowStyles.h"

namespace ui {
namespace {

constexpr std::uint32_t kVisibleChild = kWsChild | kWsVisible;
constexpr wchar_t kPageFont[] = L"Microsoft Sans Serif";

constexpr ControlTemplate Text(int id, std::wstring_view text, DialogUnits rect, std::uint32_t style = kSsLeft) {
  return {id, ControlKind::Text, text, rect, kVisibleChild | style};
}

constexpr ControlTemplate Frame(int id, DialogUnits rect, std::uint32_t style) {
  return {id, ControlKind::Frame, L"", rect, kVisibleChild | style};
}

constexpr ControlTemplate Image(int id, DialogUnits rect) {
  return {id, ControlKind::Image, L"", rect, kVisibleChild | kSsBitmap | kSsCenterImage};
}

constexpr ControlTemplate Button(int id, std::wstring_view text, DialogUnits rect) {
  return {id, ControlKind::PushButton, text, rect, kVisibleChild | kWsTabStop | kBsPushButton};
}

constexpr ControlTemplate CheckBox(int id, std::wstring_view text, DialogUnits rect, std::uint32_t style = 0) {
  return {id, ControlKind::CheckBox, text, rect, kVisibleChild | kWsTabStop | kBsAutoCheckBox | style};
}

constexpr ControlTemplate Radio(int id, std::wstring_view text, DialogUnits rect, std::uint32_t style = 0) {
  return {id, ControlKind::RadioButton, text, rect, kVisibleChild | kWsTabStop | kBsAutoRadioButton | style};
}

constexpr ControlTemplate SysLink(int id, std::wstring_view text, DialogUnits rect) {
  return {id, ControlKind::SysLink, text, rect, kVisibleChild | kWsTabStop};
}

constexpr ControlTemplate Link(int id, std::wstring_view text, DialogUnits rect) {
  return {id, ControlKind::Link, text, rect, kVisibleChild | kWsTabStop};
}

constexpr ControlTemplate ProgressBar(int id, DialogUnits rect) {
  return {id, ControlKind::ProgressBar, L"", rect, kVisibleChild | kPbsSmooth};
}

// Buttons sit on the bottom band: forward buttons on the right, backward
// buttons on the left.
constexpr DialogUnits kForwardButton{260, 203, 71, 22};
constexpr DialogUnits kBackwardButton{5, 203, 71, 22};

// A child page of 336 x 230 with its controls above the common bottom line
// and band. The band comes last, lowest in the z-order, and clips what lies
// above it, so it never paints over the buttons.
template <std::size_t N>
constexpr std::array<ControlTemplate, N + 2> PageControls(const ControlTemplate (&controls)[N]) {
  std::array<ControlTemplate, N + 2> all{};
  std::ranges::copy(controls, all.begin());
  all[N] = Frame(ids::kPageLine, {0, 198, 336, 1}, kSsEtchedFrame | kWsClipSiblings);
  // The band is a plain static whose background the page paints in the accent colour.
  all[N + 1] = {ids::kPageBand, ControlKind::Text, L"", {0, 198, 336, 32}, kVisibleChild | kWsClipSiblings};
  return all;
}

constexpr DialogTemplate Page(int id, std::span<const ControlTemplate> controls) {
  return {.id = id,
          .caption = L"",
          .rect = {0, 0, 336, 230},
          .style = kWsChild | kDsSetFont | kDsControl,
          .exStyle = kWsExControlParent,
          .fontName = kPageFont,
          .fontPoints = 10,
          .controls = controls};
}

// The templates are constant data: the executable carries them as a table,
// not as code that builds one.
constexpr auto kLanguagePage = PageControls({
    {ids::kLanguageCombo, ControlKind::DropDownList, L"", {111, 90, 115, 30},
     kVisibleChild | kWsTabStop | kWsVScroll | kCbsDropDownList},
    Text(ids::kSplashText, L"SPLASH_TEXT placeholder", {28, 33, 280, 52}, kSsCenter),
    Button(ids::kNextButton, L"NEXT placeholder", kForwardButton),
});

constexpr auto kLanguagePageBT = PageControls({
    {ids::kLanguageCombo, ControlKind::DropDownList, L"", {111, 90, 115, 30},
     kVisibleChild | kWsTabStop | kWsVScroll | kCbsDropDownList},
    Text(ids::kSplashTitleBT, L"SPLASH_TITLE_BT placeholder", {28, 13, 220, 32}),
    Text(ids::kSplashTextBT, L"SPLASH_TEXT_BT placeholder", {28, 33, 265, 102}),
    Button(ids::kNextButton, L"NEXT placeholder", kForwardButton),
});

constexpr ControlTemplate kAboutBox[] = {
    {ids::kStaticNoId, ControlKind::Icon, L"#128", {14, 14, 21, 20}, kVisibleChild | kSsIcon},
    Text(ids::kAboutVersion, L"Brimvale, Version", {42, 14, 160, 8}, kSsNoPrefix),
    {1, ControlKind::PushButton, L"OK", {150, 41, 50, 14}, kVisibleChild | kWsTabStop | kWsGroup | kBsDefPushButton},
};

constexpr auto kLoadingPage = PageControls({
    {ids::kLoadingPlaceholder, ControlKind::Text, L"", {123, 54, 90, 90}, kWsChild},
    ProgressBar(ids::kProgressBar, {12, 93, 313, 12}),
});

constexpr ControlTemplate kHost[] = {
    Frame(ids::kHeaderLineTop, {7, 3, 336, 1}, kSsEtchedFrame),
    Frame(ids::kHeaderLine, {7, 27, 336, 1}, kSsEtchedFrame),
    Image(ids::kHeaderImage, {9, 7, 16, 16}),
    {ids::kHeaderTitle, ControlKind::Text, L"<Product_Title> placeholder", {32, 5, 277, 20},
     kVisibleChild | kWsGroup | kSsLeft | kSsCenterImage},  // centred vertically
    // The pages lie above these two; they clip them instead of painting over them.
    Frame(ids::kPageArea, {7, 28, 336, 225}, kSsGrayRect | kWsClipSiblings),
    {ids::kHostBand, ControlKind::Text, L"", {0, 226, 350, 35}, kVisibleChild | kWsTabStop | kWsClipSiblings},
};

constexpr auto kWelcomePage = PageControls({
    Image(ids::kPageImage, {133, 8, 70, 70}),
    Text(ids::kWelcomeTitle, L"WELCOME_TITLE placeholder", {28, 84, 280, 14}, kSsCenter),
    Text(ids::kHeaderTitle, L"PRODUCT_TITLE placeholder", {28, 99, 280, 16}, kSsCenter),
    Text(ids::kWelcomeText, L"WELCOME_TEXT placeholder", {28, 120, 280, 40}, kSsCenter),
    Button(ids::kNextButton, L"NEXT placeholder", kForwardButton),
    Link(ids::kPrivacyLink, L"PRIVACY_LINK placeholder", {5, 165, 72, 9}),
    Link(ids::kTermsLink, L"TERMS_LINK placeholder", {5, 175, 72, 9}),
    Link(ids::kSdkLink, L"SDK_LINK placeholder", {5, 185, 72, 9}),
});

constexpr auto kProductPage = PageControls({
    Image(ids::kOfferImage, {12, 5, 312, 160}),
    SysLink(ids::kDisclaimerLink, L"PRODUCT_TERMS placeholder", {5, 172, 326, 26}),
    Button(ids::kAcceptButton, L"ACCEPT placeholder", kForwardButton),
    Button(ids::kDeclineButton, L"DECLINE placeholder", kBackwardButton),
});

// Both download pages.
constexpr auto kDownloadPage = PageControls({
    Image(ids::kPageImage, {133, 12, 70, 70}),
    Text(ids::kProgressTitle, L"PROGRESS_TITLE placeholder", {12, 92, 313, 14}, kSsCenter),
    Text(ids::kProgressDescription, L"PROGRESS_DESC placeholder", {12, 110, 313, 28}, kSsCenter),
    ProgressBar(ids::kProgressBar, {12, 150, 313, 12}),
});

constexpr auto kFinishPageIsv = PageControls({
    Button(ids::kFinishButton, L"FINISH placeholder", kForwardButton),
    Image(ids::kPageImage, {12, 34, 120, 120}),
    Text(ids::kFinishTitle, L"PAGE_FINISH_TITLE placeholder", {142, 34, 184, 36}),
    Text(ids::kFinishText, L"PAGE_FINISH_TEXT placeholder", {142, 74, 184, 52}),
    CheckBox(ids::kLaunchCheckBox, L"LAUNCH_CHECKBOX placeholder", {142, 134, 184, 14}, kBsVCenter),
});

constexpr auto kErrorPage = PageControls({
    Button(ids::kCloseButton, L"CLOSE placeholder", kForwardButton),
    Image(ids::kPageImage, {12, 34, 120, 120}),
    Text(ids::kErrorTitle, L"PAGE_ERROR_TITLE placeholder", {142, 44, 184, 36}),
    Text(ids::kErrorText, L"PAGE_ERROR_TEXT placeholder", {142, 84, 184, 52}),
});

constexpr auto kFinishPageDlm = PageControls({
    Button(ids::kFinishButton, L"FINISH placeholder", kForwardButton),
    Image(ids::kPageImage, {12, 34, 120, 120}),
    Text(ids::kFinishTitle, L"PAGE_FINISH_TITLE placeholder", {142, 30, 184, 36}),
    Text(ids::kFinishText, L"PAGE_FINISH_TEXT placeholder", {142, 70, 184, 52}),
    Radio(ids::kLaunchRadio, L"Launch", {142, 128, 184, 12}, kWsGroup),
    Radio(ids::kOpenFolderRadio, L"Open Folder", {142, 142, 184, 12}),
});

constexpr auto kLicensePage = PageControls({
    Text(ids::kLicenseTitle, L"LICENSE_TITLE placeholder", {28, 3, 220, 32}),
    Text(ids::kLicenseText, L"LICENSE_TEXT placeholder", {28, 23, 270, 18}),
    {ids::kLicenseEula, ControlKind::RichText, L"LICENSE_EULA placeholder", {28, 43, 280, 100},
     kVisibleChild | kWsTabStop | kWsVScroll | kWsBorder | kEsMultiLine | kEsAutoVScroll | kEsReadOnly},
    SysLink(ids::kLicenseLinks, L"LICENSE_DISCLAIMER placeholder", {28, 153, 270, 32}),
    Button(ids::kAgreeButton, L"AGREE placeholder", kForwardButton),
    Button(ids::kBackButton, L"BACK placeholder", kBackwardButton),
});

constexpr auto kWarningPageBT = PageControls({
    Text(ids::kWarningTitle, L"WARNING_TITLE placeholder", {28, 3, 220, 32}),
    Text(ids::kWarningSubtitle, L"WARNING_SUBTITLE placeholder", {28, 23, 220, 32}),
    SysLink(ids::kWarningText, L"WARNING_TEXT placeholder", {28, 43, 270, 102}),
    Button(ids::kNextButton, L"NEXT placeholder", kForwardButton),
    Button(ids::kBackButton, L"BACK placeholder", kBackwardButton),
});

constexpr auto kOptionsPageBT = PageControls({
    Text(ids::kOptionsTitle, L"OPTIONS_TITLE placeholder", {28, 3, 220, 32}),
    CheckBox(ids::kOptionsCheck1, L"OPTIONS_1_CHECKBOX placeholder", {28, 33, 142, 10}),
    CheckBox(ids::kOptionsCheck2, L"OPTIONS_2_CHECKBOX placeholder", {28, 47, 142, 10}),
    CheckBox(ids::kOptionsCheck3, L"OPTIONS_3_CHECKBOX placeholder", {28, 61, 142, 10}),
    Button(ids::kNextButton, L"NEXT placeholder", kForwardButton),
});

constexpr auto kConfigurationsPageBT = PageControls({
    Text(ids::kConfigurationsTitle, L"CONFIGURATIONS_TITLE placeholder", {28, 3, 220, 32}),
    Text(ids::kConfigurationsSubtitle1, L"CONFIGURATIONS_SUBTITLE_1 placeholder", {28, 23, 220, 32}),
    Text(ids::kConfigurationsText1, L"CONFIGURATIONS_TEXT_1 placeholder", {28, 41, 270, 32}),
    CheckBox(ids::kConfigurationsCheck1, L"", {28, 57, 10, 10}),
    Text(ids::kConfigurationsCheck1Label, L"OPTIONS_2_CHECKBOX placeholder", {36, 57, 270, 24}),
    CheckBox(ids::kConfigurationsCheck2, L"OPTIONS_2_CHECKBOX placeholder", {28, 76, 270, 10}),
    Text(ids::kConfigurationsSubtitle2, L"CONFIGURATIONS_SUBTITLE_2 placeholder", {28, 96, 220, 32}),
    Text(ids::kConfigurationsText2, L"CONFIGURATIONS_TEXT_2 placeholder", {28, 114, 270, 32}),
    CheckBox(ids::kConfigurationsCheck3, L"OPTIONS_3_CHECKBOX placeholder", {28, 130, 270, 10}),
    CheckBox(ids::kConfigurationsCheck4, L"OPTIONS_4_CHECKBOX placeholder", {28, 144, 270, 10}),
    CheckBox(ids::kConfigurationsCheck5, L"OPTIONS_5_CHECKBOX placeholder", {28, 158, 270, 10}),
    Button(ids::kNextButton, L"NEXT placeholder", kForwardButton),
    Button(ids::kBackButton, L"BACK placeholder", kBackwardButton),
});

constexpr DialogTemplate kUnsortedTemplates[] = {
    Page(ids::kLanguagePage, kLanguagePage),
    Page(ids::kLanguagePageBT, kLanguagePageBT),
    DialogTemplate{.id = ids::kAboutBox,
                   .caption = L"About Brimvale",
                   .rect = {0, 0, 210, 62},
                   .style = kWsPopup | kWsCaption | kWsSysMenu | kDsSetFont | kDsModalFrame | kDsCenter,
                   .fontName = L"MS Shell Dlg",
                   .fontPoints = 8,
                   .controls = kAboutBox},
    Page(ids::kLoadingPage, kLoadingPage),
    DialogTemplate{
        .id = ids::kHost,
        .caption = L"",
        .rect = {0, 0, 350, 260},
        .style = kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kWsMinimizeBox | kDsSetFont | kDsCenter,
        .exStyle = kWsExAppWindow,
        .fontName = kPageFont,
        .fontPoints = 10,
        .controls = kHost},
    Page(ids::kWelcomePage, kWelcomePage),
    Page(ids::kProductPage, kProductPage),
    Page(ids::kDownloadPageIsv, kDownloadPage),
    Page(ids::kFinishPageIsv, kFinishPageIsv),
    Page(ids::kErrorPage, kErrorPage),
    Page(ids::kDownloadPageDlm, kDownloadPage),
    Page(ids::kFinishPageDlm, kFinishPageDlm),
    Page(ids::kLicensePage, kLicensePage),
    Page(ids::kWarningPageBT, kWarningPageBT),
    Page(ids::kOptionsPageBT, kOptionsPageBT),
    Page(ids::kConfigurationsPageBT, kConfigurationsPageBT),
};

// Every template, sorted by id when compiled.
template <std::size_t N>
constexpr std::array<DialogTemplate, N> SortedById(const DialogTemplate (&unsorted)[N]) {
  std::array<DialogTemplate, N> templates{};
  std::ranges::copy(unsorted, templates.begin());
  std::ranges::sort(templates, {}, &DialogTemplate::id);
  return templates;
}

constexpr auto kTemplates = SortedById(kUnsortedTemplates);

}  // namespace

const std::vector<StringResource>& StringResources() {
  static const std::vector<StringResource> strings = {
      {IDS_ABOUTBOX, L"&About Brimvale..."},
  };
  return strings;
}

std::span<const DialogTemplate> DialogTemplates() { return kTemplates; }

}  // namespace ui
