#include "WindowPicture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <cstdio>
#include <memory>
#include <type_traits>

#include "host/win/WideText.h"
#include "ui/win/Handles.h"

namespace zorvik::e2e {
namespace {

using Microsoft::WRL::ComPtr;

struct DcDeleter {
  void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ui::win::GdiObjectDeleter>;

std::string Failed(const std::string& step, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(result));
  return step + " failed (" + code + ")";
}

}  // namespace

std::string SaveWindowPicture(HWND window, const std::string& path) {
  RECT r{};
  if (!GetWindowRect(window, &r)) return "the window is gone";
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;

  // The pixels on the screen, copied into a bitmap of our own.
  const ui::win::WindowDc screen(nullptr);
  const UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
  const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
  if (!memory || !bitmap) return "no bitmap for the picture";
  {
    const ui::win::SelectedObject selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY)) {
      return "copying the screen failed";
    }
  }

  ComPtr<IWICImagingFactory> factory;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory));
  if (FAILED(hr)) return Failed("the imaging factory", hr);
  ComPtr<IWICBitmap> picture;
  hr = factory->CreateBitmapFromHBITMAP(bitmap.get(), nullptr, WICBitmapIgnoreAlpha, &picture);
  if (FAILED(hr)) return Failed("reading the bitmap", hr);
  ComPtr<IWICStream> stream;
  hr = factory->CreateStream(&stream);
  if (SUCCEEDED(hr)) {
    hr = stream->InitializeFromFilename(host::win::ToWide(path).c_str(), GENERIC_WRITE);
  }
  if (FAILED(hr)) return Failed("creating " + path, hr);
  ComPtr<IWICBitmapEncoder> encoder;
  hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
  if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
  ComPtr<IWICBitmapFrameEncode> frame;
  if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, nullptr);
  if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
  if (SUCCEEDED(hr)) hr = frame->WriteSource(picture.Get(), nullptr);
  if (SUCCEEDED(hr)) hr = frame->Commit();
  if (SUCCEEDED(hr)) hr = encoder->Commit();
  return FAILED(hr) ? Failed("encoding the PNG", hr) : std::string();
}

}  // namespace zorvik::e2e
