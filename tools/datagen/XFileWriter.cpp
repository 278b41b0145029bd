#include "XFileWriter.h"

#include <cstdio>

namespace datagen {

std::string Real(double v) {
    if (v > -5e-7 && v < 5e-7) v = 0;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.6f", v);
    return buffer;
}

const FrameNode* FrameNode::Find(const std::string& frameName) const {
    if (name == frameName) return this;
    for (const auto& c : children)
        if (const FrameNode* f = c.Find(frameName)) return f;
    return nullptr;
}

FrameNode* FrameNode::Find(const std::string& frameName) {
    return const_cast<FrameNode*>(static_cast<const FrameNode*>(this)->Find(frameName));
}

namespace {

void Indent(std::string& out, int depth) {
    out.append(static_cast<std::size_t>(depth), ' ');
}

void WriteColour3(std::string& out, const Colour& c) {
    out += Real(c.r) + ";" + Real(c.g) + ";" + Real(c.b) + ";;\n";
}

// A count, then one "x;y;z;" line per vector, separated by "," and ended by ";".
void WriteVectors(std::string& out, const std::vector<Vec3>& vectors, int d) {
    Indent(out, d);
    out += std::to_string(vectors.size()) + ";\n";
    for (std::size_t i = 0; i < vectors.size(); ++i) {
        const Vec3& p = vectors[i];
        Indent(out, d);
        out += Real(p.x) + ";" + Real(p.y) + ";" + Real(p.z) + (i + 1 < vectors.size() ? ";,\n" : ";;\n");
    }
}

void WriteMesh(std::string& out, const Mesh& mesh, const Surface& s, int d) {
    Indent(out, d);
    out += "Mesh {\n";
    WriteVectors(out, mesh.positions, d + 1);
    auto faceList = [&](int depth) {
        Indent(out, depth);
        out += std::to_string(mesh.faces.size()) + ";\n";
        for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
            Indent(out, depth);
            out += std::to_string(mesh.faces[f].size()) + ";";
            for (std::size_t k = 0; k < mesh.faces[f].size(); ++k) {
                if (k) out += ',';
                out += std::to_string(mesh.faces[f][k]);
            }
            out += f + 1 < mesh.faces.size() ? ";,\n" : ";;\n";
        }
    };
    faceList(d + 1);

    Indent(out, d + 1);
    out += "MeshMaterialList {\n";
    Indent(out, d + 2);
    out += "1;\n";
    Indent(out, d + 2);
    out += std::to_string(mesh.faces.size()) + ";\n";
    Indent(out, d + 2);
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) out += f + 1 < mesh.faces.size() ? "0," : "0;;\n";
    Indent(out, d + 2);
    out += "Material {\n";
    Indent(out, d + 3);
    out +=
        Real(s.colour.r) + ";" + Real(s.colour.g) + ";" + Real(s.colour.b) + ";" + Real(s.colour.a) + ";;\n";
    Indent(out, d + 3);
    out += Real(s.power) + ";\n";
    Indent(out, d + 3);
    WriteColour3(out, s.specular);
    Indent(out, d + 3);
    WriteColour3(out, s.emissive);
    Indent(out, d + 2);
    out += "}\n";
    Indent(out, d + 1);
    out += "}\n";

    Indent(out, d + 1);
    out += "MeshNormals {\n";
    WriteVectors(out, mesh.normals, d + 2);
    // One normal per vertex: the normal indices repeat the vertex indices.
    faceList(d + 2);
    Indent(out, d + 1);
    out += "}\n";

    if (!mesh.uvs.empty()) {
        Indent(out, d + 1);
        out += "MeshTextureCoords {\n";
        Indent(out, d + 2);
        out += std::to_string(mesh.uvs.size()) + ";\n";
        for (std::size_t i = 0; i < mesh.uvs.size(); ++i) {
            Indent(out, d + 2);
            out += Real(mesh.uvs[i][0]) + ";" + Real(mesh.uvs[i][1]) +
                   (i + 1 < mesh.uvs.size() ? ";,\n" : ";;\n");
        }
        Indent(out, d + 1);
        out += "}\n";
    }
    Indent(out, d);
    out += "}\n";
}

void WriteMatrix(std::string& out, const Mat4& m, int d) {
    Indent(out, d);
    out += "FrameTransformMatrix {\n";
    Indent(out, d + 1);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out += Real(m.m[r][c]) + (r == 3 && c == 3 ? ";;\n" : ",");
    Indent(out, d);
    out += "}\n";
}

void WriteFrame(std::string& out, const FrameNode& node, int d) {
    Indent(out, d);
    out += "Frame " + node.name + " {\n";
    WriteMatrix(out, node.matrix, d + 1);
    if (node.hasMesh) WriteMesh(out, node.mesh, node.surface, d + 1);
    for (const auto& c : node.children) WriteFrame(out, c, d + 1);
    Indent(out, d);
    out += "}\n";
}

void WriteKeys(std::string& out, int type, const AnimationKeys& a) {
    out += "  AnimationKey {\n   " + std::to_string(type) + ";\n   " + std::to_string(a.times.size()) + ";\n";
    for (std::size_t i = 0; i < a.times.size(); ++i) {
        out += "   " + std::to_string(a.times[i]) + ";";
        const Mat4& m = a.poses[i];
        if (type == 0) {
            const Quat q = QuatFromMatrix(m);
            out += "4;" + Real(q.s) + "," + Real(q.x) + "," + Real(q.y) + "," + Real(q.z);
        } else if (type == 1) {
            out += "3;1.000000,1.000000,1.000000";
        } else {
            const Vec3 p = m.Origin();
            out += "3;" + Real(p.x) + "," + Real(p.y) + "," + Real(p.z);
        }
        out += i + 1 < a.times.size() ? ";;,\n" : ";;;\n";
    }
    out += "  }\n";
}

}  // namespace

std::string WriteXFile(const PartFile& part) {
    std::string out = "xof 0302txt 0032\nHeader {\n 1;\n 0;\n 1;\n}\n\n";
    WriteFrame(out, part.top, 0);
    if (!part.animations.empty()) {
        out += "\nAnimationSet POSE {\n";
        int index = 0;
        for (const auto& a : part.animations) {
            out += " Animation ANIM" + std::to_string(index++) + " {\n  {" + a.frame + "}\n";
            WriteKeys(out, 0, a);
            WriteKeys(out, 1, a);
            WriteKeys(out, 2, a);
            out += " }\n";
        }
        out += "}\n";
    }
    return out;
}

}  // namespace datagen
