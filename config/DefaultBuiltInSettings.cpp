// The settings of the executable being linked. The core library holds the
// product's; a variant of the wizard compiles this file again with its own
// BuiltInValues.h, and the linker then takes the variant's definition and
// never the library's.
#include "config/BuiltInValues.h"
#include "config/ConfigurationManager.h"

BuiltInSettings DefaultBuiltInSettings() {
  return {.wizardKey = built_in::kWizardKey,
          .btClassic = built_in::kBtClassic,
          .btWarning = built_in::kBtWarning,
          .productTitle = built_in::kProductTitle,
          .productUrl = built_in::kProductUrl,
          .mainProductArguments = built_in::kMainProductArguments,
          .launchFile = built_in::kLaunchFile,
          .launchParameters = built_in::kLaunchParameters,
          .productPrivacyUrl = built_in::kProductPrivacyUrl,
          .productTermsUrl = built_in::kProductTermsUrl};
}
