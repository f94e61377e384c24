#include "map/TileSource.h"

#include <gtest/gtest.h>

TEST(TileSource, TemplatesAndTheTilesTheyMayServe) {
    EXPECT_TRUE(TileSource::IsUsableTemplate(TileSource::Default().urlTemplate));
    const struct {
        const char* urlTemplate;
        bool usable;
    } templates[] = {{"https://{s}.tile.example.org/{z}/{x}/{y}.png", true},
                     {"http://localhost:8080/tiles/{z}/{x}/{y}.png", true},
                     {"file:///etc/{z}/{x}/{y}", false},
                     {"https://tile.example.org/{z}/{x}.png", false},
                     {"", false}};
    for (const auto& t : templates)
        EXPECT_EQ(TileSource::IsUsableTemplate(t.urlTemplate), t.usable) << t.urlTemplate;

    const TileSource osm = TileSource::Default();
    const TileSource lettered{"https://{s}.tile.example.org/{z}/{x}/{y}.png", ""};
    const struct {
        const TileSource* source;
        const char* url;
        bool served;
    } cases[] = {
        {&osm, "https://tile.openstreetmap.org/15/29104/12907.png", true},
        {&osm, "http://tile.openstreetmap.org/15/29104/12907.png", false},
        {&osm, "https://evil.example/tile.openstreetmap.org/1/2/3.png", false},
        {&osm, "https://tile.openstreetmap.org.evil.example/1/2/3.png", false},
        {&osm, "https://127.0.0.1/1/2/3.png", false},
        {&osm, "https://tile.openstreetmap.org:8443/1/2/3.png", false},
        {&lettered, "https://b.tile.example.org/1/2/3.png", true},
        {&lettered, "https://tile.example.org/1/2/3.png", false},
        {&lettered, "https://a.b.tile.example.org/1/2/3.png", false},
        {&lettered, "https://xtile.example.org/1/2/3.png", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.source->CouldServe(QUrl(c.url)), c.served) << c.url;
}
