#include "Host/RequestClose.h"

#include "Web/CWebPlatform.h"

void RequestWindowClose()
{
    // Handled at the next dispatch, as the close message is on the desktop.
    if (CWebPlatform* platform = CWebPlatform::Current; platform != nullptr)
    {
        platform->Queue(CWebPlatform::EEvent::Close);
        platform->Wake();
    }
}
