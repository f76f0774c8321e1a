#include "platform/HttpFetch.h"

#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

using TestSupport::LoopbackHttpServer;

TEST(HttpFetch, ReturnsACompleteSuccessfulBodyAlsoAfterARedirect)
{
    LoopbackHttpServer server;
    server.Serve("/a.png", {200, "picture bytes", "", -1});
    const auto result = Platform::HttpFetch(server.Url("/a.png"));
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(200, result.status);
    EXPECT_EQ("picture bytes", result.body);
    EXPECT_EQ(1, server.Requests("/a.png"));

    server.Serve("/moved", {302, "", "Location: /a.png\r\n", -1});
    const auto moved = Platform::HttpFetch(server.Url("/moved"));
    EXPECT_TRUE(moved.ok) << moved.error;
    EXPECT_EQ("picture bytes", moved.body);
}

TEST(HttpFetch, FailsOnErrorStatusOversizeTruncationAndOtherSchemes)
{
    LoopbackHttpServer server;
    server.Serve("/big", {200, std::string(5000, 'x'), "", -1});
    server.Serve("/short", {200, "only part", "", 1000});
    server.Serve("/ftp", {302, "", "Location: ftp://127.0.0.1/a.png\r\n", -1});
    Platform::HttpFetchLimits limits;
    limits.maxBytes = 4096;

    const auto missing = Platform::HttpFetch(server.Url("/missing"), limits);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(404, missing.status);
    EXPECT_NE(std::string::npos, missing.error.find("404"));

    const auto big = Platform::HttpFetch(server.Url("/big"), limits);
    EXPECT_FALSE(big.ok);
    EXPECT_NE(std::string::npos, big.error.find("4096"));

    const auto truncated = Platform::HttpFetch(server.Url("/short"), limits);
    EXPECT_FALSE(truncated.ok);
    EXPECT_FALSE(truncated.error.empty());

    EXPECT_FALSE(Platform::HttpFetch(server.Url("/ftp"), limits).ok);
    EXPECT_FALSE(Platform::HttpFetch("file:///etc/hostname", limits).ok);
    EXPECT_FALSE(Platform::HttpFetch("see http://127.0.0.1/", limits).ok);

    // Addresses are recognised by their prefix only.
    EXPECT_TRUE(Platform::IsHttpAddress("http://example/a.png"));
    EXPECT_TRUE(Platform::IsHttpAddress("HTTPS://example/a.png"));
    EXPECT_FALSE(Platform::IsHttpAddress("pictures/http://a.png"));
    EXPECT_FALSE(Platform::IsHttpAddress("http:/a.png"));
}

// A body whose length is not told (chunked, or ended by the closed
// connection) cannot be refused before it comes: it is stopped as it passes
// the limit, as one whose told length is over it is refused at once.
TEST(HttpFetch, ABodyIsStoppedAtTheSizeLimitHoweverItsEndIsTold)
{
    using Answer = LoopbackHttpServer::Answer;
    constexpr std::size_t limit = 4096;
    const struct {
        const char* name;
        Answer::Behaviour behaviour;
    } deliveries[] = {{"with its length", Answer::Whole},
                      {"chunked", Answer::Chunked},
                      {"until the connection closes", Answer::UntilClose}};
    const std::size_t sizes[] = {limit - 1, limit, limit + 1, 256 * limit};
    LoopbackHttpServer server;
    Platform::HttpFetchLimits limits;
    limits.maxBytes = limit;
    for (const auto& delivery : deliveries) {
        for (const std::size_t size : sizes) {
            SCOPED_TRACE(std::string(delivery.name) + ", " + std::to_string(size) + " bytes");
            std::string body(size, ' ');
            for (std::size_t i = 0; i < size; ++i)
                body[i] = char('a' + i % 26);
            const std::string path = "/" + std::to_string(delivery.behaviour) + "-" + std::to_string(size);
            server.Serve(path, {200, body, "", -1, delivery.behaviour});
            const auto result = Platform::HttpFetch(server.Url(path), limits);
            if (size <= limit) {
                EXPECT_TRUE(result.ok) << result.error;
                EXPECT_EQ(body, result.body);
            } else {
                EXPECT_FALSE(result.ok);
                EXPECT_EQ("body larger than 4096 bytes", result.error);
                EXPECT_EQ("", result.body);
            }
        }
    }
}
