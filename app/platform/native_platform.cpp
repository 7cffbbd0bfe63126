#include "app/platform/native_platform.h"

#include "serial/system_tick_source.h"

Platform NativePlatform::parts()
{
    return {m_dialogs, SerialBackend::system(), SystemTickSource::instance(), m_events};
}
