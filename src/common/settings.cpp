#include "common/settings.h"

#include "common/maker_info.h"

namespace bcnk {

Text DefaultUserAgent() {
    return Text(u"TalvennsBeaconsmith/1.0 (+") + kMakerHomePage + u")";
}

}  // namespace bcnk
