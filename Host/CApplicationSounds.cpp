// Sound clips.
#include "Host/CApplication.h"

void CApplication::LoadSound(std::string_view)
{
    NotAvailableYet("LoadSound");
}

void CApplication::PlaySound(std::string_view)
{
    NotAvailableYet("PlaySound");
}
