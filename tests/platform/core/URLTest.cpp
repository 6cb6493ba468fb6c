#include <gtest/gtest.h>

#include "platform/core/URL.hpp"

using platform::core::URL;

TEST(URL, AcceptsAbsoluteAndRelativeReferencesAndRefusesInvalidText) {
    for (const char* text : {"https://cdn.example.com/a/ep%201.mp3?x=1#t", "ep.mp3", "/abs/path", "mailto:a@b.c",
                             "http://[::1]:8080/x", "orvane://host/file.m4a", "a/b:c"}) {
        EXPECT_TRUE(URL::parse(text)) << text;
    }
    for (const char* text : {"", " ", "https://example.com/a b.mp3", "https://example.com/\"q\"", "ep%2.mp3",
                             "ep%zz.mp3", "https://exa mple.com", "1http://x", "http://x:80a/", "a#b#c",
                             "https://example.com/é", "http://host/<x>", "http://host/a\\b"}) {
        EXPECT_FALSE(URL::parse(text)) << text;
    }
}

TEST(URL, ComponentsAreSplitAndDecoded) {
    const auto url = URL::parse("HTTPS://user@cdn.example.com:8443/shows/ep%2012.MP3?token=a%20b#frag");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), "https");
    EXPECT_EQ(url->host(), "cdn.example.com");
    EXPECT_EQ(url->port(), 8443);
    EXPECT_EQ(url->path(), "/shows/ep 12.MP3");
    EXPECT_EQ(url->lastPathComponent(), "ep 12.MP3");
    EXPECT_EQ(url->pathExtension(), "MP3");
    EXPECT_EQ(url->query(), "token=a%20b");
    EXPECT_EQ(url->fragment(), "frag");

    EXPECT_EQ(URL::parse("ep.mp3")->lastPathComponent(), "ep.mp3");
    EXPECT_EQ(URL::parse("ep.mp3")->scheme(), "");
    EXPECT_EQ(URL::parse("https://x.com/a/b/")->lastPathComponent(), "b");
    EXPECT_EQ(URL::parse("https://x.com/")->lastPathComponent(), "/");
    EXPECT_EQ(URL::parse("https://x.com")->lastPathComponent(), "");
    EXPECT_EQ(URL::parse("https://x.com/.hidden")->pathExtension(), "");
    EXPECT_EQ(URL::parse("https://x.com/archive.tar.gz")->pathExtension(), "gz");
    // An encoded slash stays inside the component it was written in.
    EXPECT_EQ(URL::parse("https://x.com/a%2F..%2Fb")->lastPathComponent(), "a/../b");
}

TEST(URL, SchemeReplacementAndPathAppending) {
    const auto url = URL::parse("https://cdn.example.com/a/ep.mp3?x=1");
    const auto loader = url->replacingScheme("orvane");
    ASSERT_TRUE(loader);
    EXPECT_EQ(loader->absoluteString(), "orvane://cdn.example.com/a/ep.mp3?x=1");
    EXPECT_EQ(loader->replacingScheme("https")->absoluteString(), url->absoluteString());
    EXPECT_FALSE(URL::parse("ep.mp3")->replacingScheme("orvane"));

    EXPECT_EQ(URL::parse("https://x.com/dir")->appendingPathComponent("a b#c").absoluteString(),
              "https://x.com/dir/a%20b%23c");
    EXPECT_EQ(URL::parse("https://x.com/dir/?q=1")->appendingPathComponent("f").absoluteString(),
              "https://x.com/dir/f?q=1");

    const auto file = URL::fileURL("/tmp/a dir/f%.txt");
    EXPECT_TRUE(file.isFileURL());
    EXPECT_EQ(file.absoluteString(), "file:///tmp/a%20dir/f%25.txt");
    EXPECT_EQ(file.filePath(), "/tmp/a dir/f%.txt");
}
