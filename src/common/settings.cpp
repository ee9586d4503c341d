#include "common/settings.h"

#include "common/file_system.h"
#include "common/maker_info.h"

namespace bcnk {

Text DefaultUserAgent() {
    return Text(u"TalvennsBeaconsmith/1.0 (+") + kMakerHomePage + u")";
}

Text SettingsPath() {
    return JoinPath(ModuleDirectory(), u"bcnk.ini");
}

}  // namespace bcnk
