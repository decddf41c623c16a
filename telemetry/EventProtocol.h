// The names of the event protocol's numbers: the event ids, the members of
// the payload (decimal numbers as text) and of the request that carries
// it. The wizard and the reference server both speak through these.
#pragma once

namespace events {

// Event ids ("6"). -1, 2, 3, 4 and 5 are final: after one of them is
// delivered, a package reports nothing more.
inline constexpr int kFailed = -1;    // a download or an installer run failed ("12")
inline constexpr int kStarted = 1;    // the user left the first page (main package)
inline constexpr int kRefused = 2;    // an offer rule refused the offer ("13")
inline constexpr int kCompleted = 3;  // downloaded (and, for the vendor wizard, installed)
inline constexpr int kDeclined = 4;   // the user declined the offer
inline constexpr int kClosing = 5;    // the wizard is closing

// Payload members. The template sets "0" to "22" (empty unless named
// below), then the package and the event fill in theirs.
inline constexpr int kFirstTemplateMember = 0;
inline constexpr int kLastTemplateMember = 22;
inline constexpr char kMachineId[] = "1";
inline constexpr char kSessionTimestamp[] = "2";
inline constexpr char kBrandName[] = "3";
inline constexpr char kInstallerId[] = "4";
inline constexpr char kPackageId[] = "5";  // main package: the product title; offer: "ad"."o"
inline constexpr char kEventId[] = "6";
inline constexpr char kProgramVersion[] = "7";
inline constexpr char kPackageKind[] = "10";  // integer: kMainPackage or kOfferPackage
inline constexpr char kFailureText[] = "12";
inline constexpr char kRefusalReason[] = "13";
inline constexpr char kZero[] = "15";           // always the integer 0
inline constexpr char kOfferC[] = "16";         // the offer's "c"
inline constexpr char kOfferPosition[] = "17";  // offers accepted before it + 1, in decimal
inline constexpr char kOfferFeed[] = "18";      // "ad"."f"
inline constexpr char kProductCfl[] = "19";
inline constexpr char kProductCh[] = "21";
inline constexpr char kProductTitle[] = "22";
inline constexpr char kOsVersion[] = "31";
inline constexpr char kWow64[] = "38";  // "1" under WOW64, else "0"

inline constexpr int kMainPackage = 1;
inline constexpr int kOfferPackage = 2;

// The request: {"data": the payload as compact text, "table": kTable}.
inline constexpr char kRequestData[] = "data";
inline constexpr char kRequestTable[] = "table";
inline constexpr char kTable[] = "zb_analytics";

}  // namespace events
