// Header lists: lookup and continuation lines.
#include <gtest/gtest.h>

#include "net/http/header_list.h"

TEST(HeaderList, ValuesAreFoundWithoutRegardToCaseAndJoinContinuations) {
    TIdHeaderList headers;
    headers.Add("Content-Type:   text/plain  ");
    headers.Add("X-Long: first");
    headers.Add(" second");
    headers.Add("\tthird ");
    headers.Add("X-Empty:");
    headers.Add("Content-Type: text/html");  // a repeated name: the first counts
    EXPECT_EQ(headers.Values("content-TYPE"), "text/plain");
    EXPECT_EQ(headers.Values("X-Long"), "first second third");
    EXPECT_EQ(headers.Values("X-Empty"), "");
    EXPECT_TRUE(headers.Contains("x-empty"));
    EXPECT_FALSE(headers.Contains("second"));
}
