// JPEG decoding on Windows with the system's imaging component (WIC), since
// libjpeg is not part of the Windows build.
#include "platform/image/rgb_image.h"

#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

namespace platform {
namespace {

template <typename T>
struct Com {
  T* p = nullptr;
  ~Com() {
    if (p) p->Release();
  }
  T** out() { return &p; }
  T* operator->() const { return p; }
};

}  // namespace

bool decodeJpeg(const uint8_t* data, size_t size, RgbImage& out) {
  out = RgbImage{};
  if (!data || size == 0 || size > 0x7FFFFFFF) return false;
  // Balanced below. On a thread that has COM already (the launcher's has
  // it from its start) this only counts up and down again.
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool ok = false;
  {
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    GUID format{};
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out()))) &&
        SUCCEEDED(factory->CreateStream(stream.out())) &&
        SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand,
                                                   decoder.out())) &&
        SUCCEEDED(decoder->GetContainerFormat(&format)) && format == GUID_ContainerFormatJpeg &&
        SUCCEEDED(decoder->GetFrame(0, frame.out())) && SUCCEEDED(frame->GetSize(&width, &height)) &&
        width > 0 && height > 0 && width <= 16384 && height <= 16384 &&
        SUCCEEDED(factory->CreateFormatConverter(converter.out())) &&
        SUCCEEDED(converter->Initialize(frame.p, GUID_WICPixelFormat24bppRGB, WICBitmapDitherTypeNone,
                                        nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
      RgbImage image;
      image.width = static_cast<int>(width);
      image.height = static_cast<int>(height);
      image.pixels.resize(static_cast<size_t>(width) * height * 3);
      if (SUCCEEDED(converter->CopyPixels(nullptr, width * 3, static_cast<UINT>(image.pixels.size()),
                                          image.pixels.data()))) {
        out = std::move(image);
        ok = true;
      }
    }
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return ok;
}

}  // namespace platform
