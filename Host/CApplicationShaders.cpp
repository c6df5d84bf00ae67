// Fragment-shader programs.
#include "Host/CApplication.h"

void CApplication::LoadShader(std::string_view)
{
    NotAvailableYet("LoadShader");
}

void CApplication::DrawShaderQuad(const CVector&, float, float, const CVector&, float, float, const CVector&, float,
                                  float, const CVector&, float, float, std::string_view)
{
    NotAvailableYet("DrawShaderQuad");
}
