#include "scan/scan_types.h"

namespace bcnk {

Text PageClassName(PageClass pageClass) {
    switch (pageClass) {
        case PageClass::Product: return u"Product";
        case PageClass::Article: return u"Article";
        case PageClass::Guide: return u"Guide";
        case PageClass::Utility: return u"Utility";
        case PageClass::Legal: return u"Legal";
        case PageClass::Index: return u"Index";
        default: return u"Other";
    }
}

Text CheckStateSymbol(CheckState state) {
    switch (state) {
        case CheckState::Ok: return u"OK";
        case CheckState::Missing: return u"X";
        case CheckState::NeedsUpdate: return u"!";
        case CheckState::Blocking: return u"BLOCK";
    }
    return u"X";
}

Text CrawlerPurposeName(CrawlerPurpose purpose) {
    switch (purpose) {
        case CrawlerPurpose::Training: return u"Training";
        case CrawlerPurpose::Search: return u"Search";
        case CrawlerPurpose::UserTriggered: return u"User-triggered";
    }
    return u"Training";
}

Text CrawlerAccessLevelName(CrawlerAccessLevel access) {
    switch (access) {
        case CrawlerAccessLevel::Allowed: return u"Allowed";
        case CrawlerAccessLevel::Blocked: return u"Blocked";
        case CrawlerAccessLevel::Partly: return u"Partly";
    }
    return u"Allowed";
}

}  // namespace bcnk
