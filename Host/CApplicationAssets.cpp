// Textures, fonts, shaders and sounds.
#include "Host/CApplication.h"

void CApplication::LoadImage(std::string_view, bool)
{
    NotAvailableYet("LoadImage");
}

std::shared_ptr<CTexture> CApplication::CreateTexture(std::string_view, std::span<const std::uint32_t>, std::int32_t,
                                                      std::int32_t)
{
    NotAvailableYet("CreateTexture");
}

std::shared_ptr<CTexture> CApplication::GetTexture(std::string_view)
{
    NotAvailableYet("GetTexture");
}

void CApplication::LoadFont(std::string_view)
{
    NotAvailableYet("LoadFont");
}

void CApplication::SetFont(std::string_view)
{
    NotAvailableYet("SetFont");
}

void CApplication::DrawText(std::string_view, std::int32_t, std::int32_t)
{
    NotAvailableYet("DrawText");
}

void CApplication::LoadShader(std::string_view)
{
    NotAvailableYet("LoadShader");
}

void CApplication::DrawShaderQuad(const CVector&, float, float, const CVector&, float, float, const CVector&, float,
                                  float, const CVector&, float, float, std::string_view)
{
    NotAvailableYet("DrawShaderQuad");
}

void CApplication::LoadSound(std::string_view)
{
    NotAvailableYet("LoadSound");
}

void CApplication::PlaySound(std::string_view)
{
    NotAvailableYet("PlaySound");
}
