#pragma once
// Reads a vector file back through GDAL, as a GIS user's program would: the
// driver that opened it, the spatial reference and every feature with its
// fields as text and its point geometry.

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korthal::test {

struct ReadFeature {
    std::map<std::string, std::string> fields;  // unset fields are absent
    bool hasPoint = false;
    double x = 0, y = 0, z = 0;

    // By name in any case (KML readers say "Name" for a field "name").
    std::string field(const std::string& name) const
    {
        for (const auto& [k, v] : fields)
            if (EQUAL(k.c_str(), name.c_str()))
                return v;
        return {};
    }
    // Set and not empty (a CSV file without types reads empty cells as "").
    bool has(const std::string& name) const { return !field(name).empty(); }
    double number(const std::string& name) const { return std::stod(field(name)); }
};

struct ReadFile {
    bool opened = false;
    std::string driver;
    std::string layerName;
    std::optional<int> epsg;  // of the first layer's spatial reference
    std::string proj;         // the same as a PROJ string
    bool geographic = false;
    std::vector<ReadFeature> features;  // of every layer
};

inline ReadFile readBack(const std::string& path)
{
    GDALAllRegister();
    ReadFile out;
    GDALDataset* ds = static_cast<GDALDataset*>(
        GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!ds)
        return out;
    out.opened = true;
    out.driver = ds->GetDriver()->GetDescription();
    for (OGRLayer* layer : ds->GetLayers()) {
        if (out.layerName.empty()) {
            out.layerName = layer->GetName();
            if (const OGRSpatialReference* srs = layer->GetSpatialRef()) {
                OGRSpatialReference copy(*srs);
                copy.AutoIdentifyEPSG();
                if (const char* code = copy.GetAuthorityCode(nullptr))
                    out.epsg = std::stoi(code);
                out.geographic = copy.IsGeographic();
                char* proj = nullptr;
                if (copy.exportToProj4(&proj) == OGRERR_NONE && proj)
                    out.proj = proj;
                CPLFree(proj);
            }
        }
        layer->ResetReading();
        while (OGRFeature* f = layer->GetNextFeature()) {
            ReadFeature r;
            for (int i = 0; i < f->GetFieldCount(); ++i)
                if (f->IsFieldSetAndNotNull(i))
                    r.fields[f->GetFieldDefnRef(i)->GetNameRef()] = f->GetFieldAsString(i);
            if (const OGRGeometry* g = f->GetGeometryRef();
                g && wkbFlatten(g->getGeometryType()) == wkbPoint) {
                const auto* p = g->toPoint();
                r.hasPoint = true;
                r.x = p->getX();
                r.y = p->getY();
                r.z = p->getZ();
            }
            out.features.push_back(std::move(r));
            OGRFeature::DestroyFeature(f);
        }
    }
    GDALClose(ds);
    return out;
}

}  // namespace korthal::test
