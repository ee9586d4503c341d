#include <gtest/gtest.h>

#include "net/tracking_parameters.h"

namespace bcnk {
namespace {

TEST(TrackingParameters, DroppedWithTheRestOfTheQueryKept) {
    struct Row {
        const char16_t* address;
        const char16_t* expected;
    };
    const Row rows[] = {
        {u"http://h/a.html?utm_source=x&utm_medium=y", u"http://h/a.html"},
        {u"http://h/a.html?id=3&gclid=abc&page=2", u"http://h/a.html?id=3&page=2"},
        {u"http://h/a.html?FBCLID=1&msclkid=2&mc_cid=3&mc_eid=4&_ga=5&yclid=6",
         u"http://h/a.html"},
        {u"http://h/a.html?utm_campaign=x#part", u"http://h/a.html#part"},
        {u"http://h/a.html?utm_=x&utm=y&gclid2=z", u"http://h/a.html?utm_=x&utm=y&gclid2=z"},
        {u"http://h/a.html?a=1&&b=2", u"http://h/a.html?a=1&&b=2"},
        {u"http://h/a.html?a=1&&utm_term=q", u"http://h/a.html?a=1"},
        {u"http://h/a.html?id=utm_source", u"http://h/a.html?id=utm_source"},
        {u"http://h/a.html#x?utm_source=y", u"http://h/a.html#x?utm_source=y"},
        {u"http://h/a.html", u"http://h/a.html"},
        {u"", u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DropTrackingParameters(row.address), row.expected) << WideToUtf8(row.address);
    }
}

}  // namespace
}  // namespace bcnk
