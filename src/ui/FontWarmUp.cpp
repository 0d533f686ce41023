#include "ui/FontWarmUp.h"

#ifdef MAL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontWarmUp::FontWarmUp()
{
#ifdef MAL_HAVE_FONTCONFIG
    try {
        m_thread = std::thread([] { FcInit(); });
    } catch (...) {
        // No thread to be had: Qt reads the configuration itself when it first needs a font.
    }
#endif
}

FontWarmUp::~FontWarmUp()
{
    wait();
}

void FontWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
