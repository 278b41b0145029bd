#include "LlvmpipeFigure.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/osmesa.h>

#include <cstdlib>

// Every GL function the reference calls.
#define MARISOLE_GL_CALLS(X)                                                                              \
    X(glViewport) X(glMatrixMode) X(glLoadIdentity) X(glFrustum) X(glLightModelfv) X(glLightModeli)       \
    X(glLightfv) X(glEnable) X(glMaterialfv) X(glMaterialf) X(glShadeModel) X(glFrontFace) X(glClearColor) \
    X(glGenBuffers) X(glBindBuffer) X(glBufferData) X(glDeleteBuffers) X(glEnableClientState)            \
    X(glGetError) X(glClear) X(glTranslatef) X(glVertexPointer) X(glNormalPointer) X(glDrawElements)      \
    X(glFinish) X(glGetString)

namespace rmbench {

namespace {

// The GL calls, taken from OSMesa itself: the program also links the system's libGL (through Qt),
// whose entry points would go to another library's context, where nothing is current.
struct Gl {
#define MARISOLE_GL_FIELD(name) decltype(&::name) name = nullptr;
    MARISOLE_GL_CALLS(MARISOLE_GL_FIELD)
#undef MARISOLE_GL_FIELD
    bool Load() {
        bool all = true;
#define MARISOLE_GL_LOAD(name) \
    all &= (name = reinterpret_cast<decltype(name)>(OSMesaGetProcAddress(#name))) != nullptr;
        MARISOLE_GL_CALLS(MARISOLE_GL_LOAD)
#undef MARISOLE_GL_LOAD
        return all;
    }
};

}  // namespace

struct LlvmpipeFigure::Context {
    Gl gl;
    OSMesaContext context = nullptr;
    struct Buffers {
        GLuint vertices = 0, indices = 0;
        GLsizei count = 0;
        rm::Vector offset;
    };
    std::vector<Buffers> meshes;
    ~Context() {
        for (Buffers& b : meshes) {
            gl.glDeleteBuffers(1, &b.vertices);
            gl.glDeleteBuffers(1, &b.indices);
        }
        if (context) OSMesaDestroyContext(context);
    }
};

LlvmpipeFigure::LlvmpipeFigure(std::uint32_t width, std::uint32_t height, float front, float back, float field,
                               const std::vector<GlMesh>& meshes, const GlLights& lights, const GlLook& look)
    : m_context(std::make_unique<Context>()), m_pixels(std::size_t(width) * height) {
    const Gl& gl = m_context->gl;
    m_context->context = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
    if (!m_context->context ||
        !OSMesaMakeCurrent(m_context->context, m_pixels.data(), GL_UNSIGNED_BYTE, GLsizei(width), GLsizei(height)) ||
        !m_context->gl.Load())
        return;
    // OSMesa's rows run bottom-up unless told otherwise; ours run top-down.
    OSMesaPixelStore(OSMESA_Y_UP, 0);
    gl.glViewport(0, 0, GLsizei(width), GLsizei(height));

    // Our lens: the field spans the longer side at the front plane. GL looks along -z with +y up, so
    // every z (and every direction's z) changes sign; what lands on the screen does not move, and our
    // front faces run clockwise there.
    const double s = (width > height ? width : height) / 2.0;
    const double right = field * (width / 2.0) / s, top = field * (height / 2.0) / s;
    gl.glMatrixMode(GL_PROJECTION);
    gl.glLoadIdentity();
    gl.glFrustum(-right, right, -top, top, front, back);
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glLoadIdentity();

    const GLfloat ambient[] = {lights.ambient, lights.ambient, lights.ambient, 1};
    gl.glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    gl.glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    const GLfloat sun[] = {lights.sun, lights.sun, lights.sun, 1};
    const GLfloat towardsSun[] = {-lights.sunDirection.x, -lights.sunDirection.y, lights.sunDirection.z, 0};
    gl.glLightfv(GL_LIGHT0, GL_POSITION, towardsSun);
    gl.glLightfv(GL_LIGHT0, GL_DIFFUSE, sun);
    gl.glLightfv(GL_LIGHT0, GL_SPECULAR, sun);
    const GLfloat lamp[] = {lights.lamp, lights.lamp, lights.lamp, 1};
    const GLfloat lampAt[] = {lights.lampPosition.x, lights.lampPosition.y, -lights.lampPosition.z, 1};
    gl.glLightfv(GL_LIGHT1, GL_POSITION, lampAt);
    gl.glLightfv(GL_LIGHT1, GL_DIFFUSE, lamp);
    gl.glLightfv(GL_LIGHT1, GL_SPECULAR, lamp);
    gl.glEnable(GL_LIGHT0);
    gl.glEnable(GL_LIGHT1);
    gl.glEnable(GL_LIGHTING);
    const GLfloat colour[] = {look.r, look.g, look.b, 1}, white[] = {1, 1, 1, 1};
    gl.glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, colour);
    gl.glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    gl.glMaterialf(GL_FRONT, GL_SHININESS, look.power);
    gl.glShadeModel(GL_SMOOTH);
    gl.glEnable(GL_DEPTH_TEST);
    gl.glFrontFace(GL_CW);
    gl.glEnable(GL_CULL_FACE);
    gl.glClearColor(0, 0, 0, 0);

    for (const GlMesh& mesh : meshes) {
        Context::Buffers b;
        std::vector<GLfloat> interleaved;
        for (std::size_t i = 0; i + 2 < mesh.positions.size(); i += 3)
            interleaved.insert(interleaved.end(), {mesh.positions[i], mesh.positions[i + 1], -mesh.positions[i + 2],
                                                   mesh.normals[i], mesh.normals[i + 1], -mesh.normals[i + 2]});
        gl.glGenBuffers(1, &b.vertices);
        gl.glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
        gl.glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(interleaved.size() * sizeof(GLfloat)), interleaved.data(),
                        GL_STATIC_DRAW);
        gl.glGenBuffers(1, &b.indices);
        gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
        gl.glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(mesh.triangles.size() * sizeof(std::uint32_t)),
                        mesh.triangles.data(), GL_STATIC_DRAW);
        b.count = GLsizei(mesh.triangles.size());
        b.offset = mesh.offset;
        m_context->meshes.push_back(b);
    }
    gl.glEnableClientState(GL_VERTEX_ARRAY);
    gl.glEnableClientState(GL_NORMAL_ARRAY);
    m_ready = gl.glGetError() == GL_NO_ERROR;
}

LlvmpipeFigure::~LlvmpipeFigure() = default;

void LlvmpipeFigure::Render() {
    const Gl& gl = m_context->gl;
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const Context::Buffers& b : m_context->meshes) {
        gl.glLoadIdentity();
        gl.glTranslatef(b.offset.x, b.offset.y, -b.offset.z);
        gl.glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
        gl.glVertexPointer(3, GL_FLOAT, 6 * sizeof(GLfloat), nullptr);
        gl.glNormalPointer(GL_FLOAT, 6 * sizeof(GLfloat), reinterpret_cast<const void*>(3 * sizeof(GLfloat)));
        gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
        gl.glDrawElements(GL_TRIANGLES, b.count, GL_UNSIGNED_INT, nullptr);
    }
    gl.glFinish();
}

std::string LlvmpipeFigure::Renderer() const {
    const GLubyte* name = m_ready ? m_context->gl.glGetString(GL_RENDERER) : nullptr;
    return name ? reinterpret_cast<const char*>(name) : "";
}

unsigned LlvmpipeFigure::RasterThreads() {
    const char* text = std::getenv("LP_NUM_THREADS");
    return text ? unsigned(std::atoi(text)) : 0;
}

}  // namespace rmbench
