// The application loop and the delegate's hooks.
#pragma once

namespace engine {

class ApplicationProtocol {
public:
    virtual ~ApplicationProtocol() = default;
    virtual void initGLContextAttrs() {}
    virtual bool applicationDidFinishLaunching() = 0;
    virtual void applicationDidEnterBackground() = 0;
    virtual void applicationWillEnterForeground() = 0;
};

class Application : public ApplicationProtocol {
public:
    Application();
    ~Application() override;
    static Application* getInstance();
    // Blocks of 128 KB and more go back to the system when freed (the constructor does it; a benchmark without an
    // Application calls it to run as the program does).
    static void fixMmapThreshold();

    // initGLContextAttrs, applicationDidFinishLaunching, then frames until the window closes or the
    // director ends. 0, or 1 when launching failed.
    int run();

private:
    static Application* s_instance;
};

} // namespace engine
