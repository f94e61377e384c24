#include "map/WebViewDrawing.h"
#include "MapWindowFixture.h"

#include <QQuickWindow>

TEST(WebViewDrawing, TellsCpuRasterisersFromGpuDrivers) {
    const struct {
        const char* renderer;
        bool software;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Software Rasterizer", true},
        {"Mesa X11 swrast", true},
        {"", true},
        {"  ", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
        {"NVIDIA GeForce GTX 1650/PCIe/SSE2", false},
        {"virgl (LLVMPIPE (LLVM 15.0.6, 256 bits))", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WebViewDrawing::IsSoftwareRenderer(c.renderer), c.software) << c.renderer;
}

// The choice is made when the pane starts the browser, from this display's
// OpenGL.
TEST_F(MapWindowFixture, ViewsDrawInSoftwareExactlyWhereOpenGlIsSoftware) {
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
        qEnvironmentVariableIsSet("QSG_RHI_BACKEND"))
        GTEST_SKIP() << "a Qt Quick backend is chosen by the environment";
    ASSERT_NE(ShowPage(MAP_GOOGLE), nullptr);
    const bool software = WebViewDrawing::IsSoftwareRenderer(WebViewDrawing::OpenGlRenderer());
    EXPECT_EQ(QQuickWindow::sceneGraphBackend() == "software", software)
        << WebViewDrawing::OpenGlRenderer().constData();
}
