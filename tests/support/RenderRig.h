#pragma once
// What a render needs around a scene, as the edit view holds it: the libraries, a view root with the
// camera at the origin looking down +z, and an empty scene root to fill.

#include "platform/rm/Library.h"
#include "platform/surface/DirectDraw.h"

struct RenderRig {
    surface::Ref<surface::DirectDraw> directDraw = surface::DirectDraw::Create();
    rm::Ref<rm::Library> library = rm::Library::Create();
    rm::Ref<rm::Frame> viewRoot = library->CreateFrame(nullptr);
    rm::Ref<rm::Frame> camera = library->CreateFrame(viewRoot.Get());
    rm::Ref<rm::Frame> sceneRoot = library->CreateFrame(nullptr);
};
