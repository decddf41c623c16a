// Ids of the dialog templates and of their controls, shared by the template
// table and the code that drives the dialogs.
#pragma once

namespace ids {

// Dialog templates.
inline constexpr int kLanguagePage = 9;
inline constexpr int kLanguagePageBT = 10;
inline constexpr int kAboutBox = 100;
inline constexpr int kLoadingPage = 102;
inline constexpr int kHost = 103;
inline constexpr int kWelcomePage = 104;
inline constexpr int kProductPage = 105;
inline constexpr int kDownloadPageIsv = 106;
inline constexpr int kFinishPageIsv = 107;
inline constexpr int kErrorPage = 108;
inline constexpr int kDownloadPageDlm = 110;
inline constexpr int kFinishPageDlm = 111;
inline constexpr int kLicensePage = 112;
inline constexpr int kWarningPageBT = 113;
inline constexpr int kOptionsPageBT = 114;
inline constexpr int kConfigurationsPageBT = 115;

// Controls. Some ids serve on several templates with the same role.
inline constexpr int kStaticNoId = -1;
inline constexpr int kLanguageCombo = 1000;
inline constexpr int kHostBand = 1001;
inline constexpr int kPageBand = 1002;
inline constexpr int kHeaderLineTop = 1004;
inline constexpr int kHeaderLine = 1006;
inline constexpr int kHeaderImage = 1007;
inline constexpr int kHeaderTitle = 1008;  // also the welcome page's product title
inline constexpr int kPageLine = 1009;
inline constexpr int kNextButton = 1010;
inline constexpr int kSplashText = 1011;
inline constexpr int kSplashTextBT = 1012;
inline constexpr int kSplashTitleBT = 1013;
inline constexpr int kPageArea = 1014;
inline constexpr int kLoadingPlaceholder = 1015;
inline constexpr int kPageImage = 1016;
inline constexpr int kWelcomeTitle = 1017;
inline constexpr int kWelcomeText = 1018;
inline constexpr int kLicenseTitle = 1019;
inline constexpr int kLicenseText = 1020;
inline constexpr int kAcceptButton = 1021;
inline constexpr int kDeclineButton = 1022;
inline constexpr int kOfferImage = 1023;
inline constexpr int kProgressTitle = 1025;
inline constexpr int kProgressDescription = 1026;
inline constexpr int kFinishButton = 1028;
inline constexpr int kFinishTitle = 1030;
inline constexpr int kLaunchRadio = 1031;
inline constexpr int kFinishText = 1033;
inline constexpr int kOpenFolderRadio = 1034;
inline constexpr int kCloseButton = 1035;
inline constexpr int kErrorTitle = 1036;
inline constexpr int kErrorText = 1037;
inline constexpr int kShowErrorTestCommand = 1038;
inline constexpr int kPrivacyLink = 1039;
inline constexpr int kTermsLink = 1040;
inline constexpr int kSdkLink = 1041;
inline constexpr int kDisclaimerLink = 1042;
inline constexpr int kProgressBar = 1043;
inline constexpr int kLaunchCheckBox = 1044;
inline constexpr int kAboutVersion = 1045;
inline constexpr int kLicenseEula = 1046;
inline constexpr int kLicenseLinks = 1047;
inline constexpr int kAgreeButton = 1050;
inline constexpr int kBackButton = 1051;
inline constexpr int kWarningTitle = 1052;
inline constexpr int kWarningSubtitle = 1053;
inline constexpr int kWarningText = 1054;
inline constexpr int kOptionsTitle = 1055;
inline constexpr int kOptionsCheck1 = 1056;
inline constexpr int kOptionsCheck2 = 1057;
inline constexpr int kOptionsCheck3 = 1058;
inline constexpr int kConfigurationsTitle = 1059;
inline constexpr int kConfigurationsSubtitle1 = 1060;
inline constexpr int kConfigurationsText1 = 1061;
inline constexpr int kConfigurationsCheck1Label = 1062;
inline constexpr int kConfigurationsCheck2 = 1063;
inline constexpr int kConfigurationsSubtitle2 = 1064;
inline constexpr int kConfigurationsText2 = 1065;
inline constexpr int kConfigurationsCheck3 = 1066;
inline constexpr int kConfigurationsCheck4 = 1067;
inline constexpr int kConfigurationsCheck5 = 1068;
inline constexpr int kConfigurationsCheck1 = 1069;

}  // namespace ids
