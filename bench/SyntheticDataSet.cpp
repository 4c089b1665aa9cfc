#include "SyntheticDataSet.h"

#include <string_view>
#include <utility>

namespace kel::bench {

namespace {

// One object of a TARN tree. The root of a model has an empty type and is not written.
struct Node {
    std::string type;
    std::string name;
    std::vector<std::pair<std::string, std::string>> params;
    std::vector<Node> children;

    Node& child(std::string childType, std::string childName = {}) {
        children.push_back(Node{std::move(childType), std::move(childName), {}, {}});
        return children.back();
    }
    Node& set(std::string key, std::string value) {
        params.emplace_back(std::move(key), std::move(value));
        return *this;
    }
};

void indent(std::string& out, int depth) {
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
}

// Long values are broken after commas with continuation lines, as authors write them.
void writeTarnValue(std::string& out, std::string_view value, int depth) {
    std::size_t column = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        out += value[i];
        ++column;
        if (value[i] == ',' && column > 60 && i + 1 < value.size()) {
            out += " \\\n";
            indent(out, depth + 2);
            column = 0;
            if (value[i + 1] == ' ') ++i;
        }
    }
}

void writeTarn(const Node& node, int depth, std::string& out) {
    int inner = depth;
    if (!node.type.empty()) {
        indent(out, depth);
        out += node.type;
        out += node.name.empty() ? ":" : ": " + node.name;
        out += '\n';
        inner = depth + 1;
    }
    for (const auto& [key, value] : node.params) {
        indent(out, inner);
        out += key;
        out += " = ";
        writeTarnValue(out, value, inner);
        out += '\n';
    }
    for (const Node& child : node.children)
        writeTarn(child, inner, out);
    if (!node.type.empty()) {
        indent(out, depth);
        out += "END\n";
    }
}

void writeJsonString(std::string& out, std::string_view text) {
    static const char* const kHex = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\\u00";
                    out += kHex[(c >> 4) & 0xf];
                    out += kHex[c & 0xf];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

// An object is a JSON object whose string members are its parameters and whose object
// members, keyed "TYPE:name" (or "TYPE:" when unnamed), are its children.
void writeJsonBody(const Node& node, int depth, std::string& out) {
    out += "{";
    bool first = true;
    auto next = [&] {
        out += first ? "\n" : ",\n";
        first = false;
        indent(out, depth + 1);
    };
    for (const auto& [key, value] : node.params) {
        next();
        writeJsonString(out, key);
        out += ": ";
        writeJsonString(out, value);
    }
    for (const Node& child : node.children) {
        next();
        writeJsonString(out, child.type + ":" + child.name);
        out += ": ";
        writeJsonBody(child, depth + 1, out);
    }
    if (!first) {
        out += '\n';
        indent(out, depth);
    }
    out += "}";
}

std::string toJson(const Node& root) {
    std::string out = "{\n  ";
    writeJsonString(out, root.type + ":" + root.name);
    out += ": ";
    writeJsonBody(root, 1, out);
    out += "\n}\n";
    return out;
}

void count(const Node& node, std::size_t& objects, std::size_t& params) {
    ++objects;
    params += node.params.size();
    for (const Node& child : node.children)
        count(child, objects, params);
}

std::string num(int value) {
    return std::to_string(value);
}

std::string typePath(std::initializer_list<std::string> types) {
    std::string out;
    for (const std::string& type : types)
        out.append("/").append(type);
    return out;
}

// Joins "T" + n for each prefix T, with ", ".
std::string joinTypes(std::initializer_list<std::string_view> types, const std::string& n) {
    std::string out;
    for (std::string_view type : types) {
        if (!out.empty()) out += ", ";
        out += type;
        out += n;
    }
    return out;
}

// Names used by one module; `n` is the module number as text.
struct Module {
    explicit Module(int number) : n(num(number)) {}

    std::string n;
    std::string system() const { return "SYSTEM" + n; }
    std::string control() const { return "CONTROL" + n; }
    std::string timing() const { return "TIMING" + n; }
    std::string output() const { return "OUTPUT" + n; }
    std::string probe() const { return "PROBE" + n; }
    std::string zone() const { return "ZONE" + n; }
    std::string face() const { return "FACE" + n; }

    std::string mode() const { return "Analysis Mode " + n; }
    std::string zoneKind() const { return "Zone Kind " + n; }
    std::string faceKind() const { return "Face Kind " + n; }
    std::string regions() const { return "Regions " + n; }
    std::string material() const { return "Material" + n; }
    std::string monitoring() const { return "Monitoring" + n; }
    std::string advection() const { return "Advection Scheme " + n; }
    std::string probeScheme() const { return "Probe Scheme " + n; }
    std::string zoneScheme() const { return "Zone Scheme " + n; }
    std::string faceScheme() const { return "Face Scheme " + n; }
    std::string relaxation() const { return "Relaxation " + n; }
    std::string timestep() const { return "Timestep " + n; }
    std::string totalTime() const { return "Total Time " + n; }
    std::string probeOffset() const { return "Probe Offset " + n; }
    std::string zonePressure() const { return "Zone Pressure " + n; }
    std::string porosity() const { return "Porosity " + n; }
    std::string inflowSpeed() const { return "Inflow Speed " + n; }
    std::string outflowPressure() const { return "Outflow Pressure " + n; }
    std::string maxIterations() const { return "Max Iterations " + n; }
    std::string outputFrequency() const { return "Output Frequency " + n; }
    std::string wallLayers() const { return "Wall Layers " + n; }
};

const char* const kSchemes = "Upwind, Central, Blended, Hybrid";

void addParameter(Node& rules, const std::string& name, const std::string& type,
                  const std::string& description,
                  std::initializer_list<std::pair<const char*, std::string>> keys) {
    Node& p = rules.child("PARAMETER", name);
    p.set("Parameter Type", type);
    p.set("Description", description);
    for (const auto& [key, value] : keys)
        p.set(key, value);
}

void addModuleRules(Node& rules, const Module& m) {
    addParameter(rules, m.mode(), "String", "Whether the analysis is steady or time-dependent.",
                 {{"Allowed String List", "Steady, Transient, Coupled"}, {"Default", "Steady"}});
    addParameter(rules, m.zoneKind(), "String", "The kind of matter the zone holds.",
                 {{"Allowed String List", "Fluid, Solid, Porous"}, {"Default", "Fluid"}});
    addParameter(rules, m.faceKind(), "String", "The kind of boundary condition of the face.",
                 {{"Allowed String List", "Inlet, Outlet, Wall, Opening"}, {"Default", "Wall"}});
    addParameter(rules, m.regions(), "String List", "Mesh regions the object applies to.", {});
    addParameter(rules, m.material(), "String", "Name of a MATERIAL of the LIBRARY.", {});
    addParameter(rules, m.monitoring(), "Logical", "Whether convergence is monitored.",
                 {{"Default", "false"}});
    for (const std::string& scheme :
         {m.advection(), m.probeScheme(), m.zoneScheme(), m.faceScheme()})
        addParameter(rules, scheme, "String", "Discretisation of the advection terms.",
                     {{"Allowed String List", kSchemes}, {"Default", "Upwind"}});
    addParameter(rules, m.relaxation(), "Real", "Under-relaxation factor of the solver.",
                 {{"Default", "0.7"},
                  {"Lower Bound", "0"},
                  {"Upper Bound", "1"},
                  {"Quantity Type", "Dimensionless"}});
    addParameter(rules, m.timestep(), "Real", "Length of one time step.",
                 {{"Default", "0.01 [s]"}, {"Lower Bound", "0 [s]"}, {"Quantity Type", "Time"}});
    addParameter(rules, m.totalTime(), "Real", "Simulated time span.",
                 {{"Default", "1 [s]"}, {"Lower Bound", "0 [s]"}, {"Quantity Type", "Time"}});
    addParameter(rules, m.probeOffset(), "Real", "Offset of a probe from its region.",
                 {{"Default", "0 [m]"}, {"Quantity Type", "Length"}});
    addParameter(
        rules, m.zonePressure(), "Real", "Reference pressure of the zone.",
        {{"Default", "100000 [Pa]"}, {"Lower Bound", "0 [Pa]"}, {"Quantity Type", "Pressure"}});
    addParameter(rules, m.porosity(), "Real", "Fraction of the volume open to flow.",
                 {{"Default", "0.5"},
                  {"Lower Bound", "0"},
                  {"Upper Bound", "1"},
                  {"Quantity Type", "Dimensionless"}});
    addParameter(
        rules, m.inflowSpeed(), "Real", "Inflow speed normal to the face.",
        {{"Default", "1 [m s^-1]"}, {"Lower Bound", "0 [m s^-1]"}, {"Quantity Type", "Velocity"}});
    addParameter(rules, m.outflowPressure(), "Real", "Pressure outside the face.",
                 {{"Default", "0 [Pa]"}, {"Quantity Type", "Pressure"}});
    addParameter(rules, m.maxIterations(), "Integer", "Upper limit of outer iterations.",
                 {{"Default", "100"}, {"Lower Bound", "1"}});
    addParameter(rules, m.outputFrequency(), "Integer", "Iterations between results files.",
                 {{"Default", "10"}, {"Lower Bound", "1"}});
    addParameter(rules, m.wallLayers(), "Integer", "Prism layers grown from a wall.",
                 {{"Default", "3"}, {"Lower Bound", "0"}, {"Upper Bound", "50"}});

    Node& system = rules.child("OBJECT", m.system());
    system.set("Context Rule", m.mode());
    system.set("Allowed Option List", "Steady, Transient, Coupled");
    system.set("Essential Parameter List", m.mode());
    system.set("Essential Child List", m.control() + ", " + m.zone());
    system.set("Optional Child List", m.output());
    system.child("CONTEXT", "Transient").set("Essential Child List", m.timing());
    system.child("CONTEXT", "Coupled").set("Essential Child List", m.timing());

    Node& control = rules.child("SINGLETON", m.control());
    control.set("Essential Parameter List", m.advection());
    control.set("Optional Parameter List", m.maxIterations() + ", " + m.relaxation());
    control.set("Default Parameter List", m.monitoring());
    control.child("PARAMETER", m.maxIterations()).set("Default", "200").set("Upper Bound", "10000");

    rules.child("SINGLETON", m.timing())
        .set("Essential Parameter List", m.timestep() + ", " + m.totalTime());

    rules.child("SINGLETON", m.output())
        .set("Optional Parameter List", m.outputFrequency() + ", " + m.regions())
        .set("Optional Child List", m.probe());

    rules.child("OBJECT", m.probe())
        .set("Essential Parameter List", m.probeScheme() + ", " + m.probeOffset())
        .set("Optional Parameter List", m.outputFrequency());

    Node& zone = rules.child("OBJECT", m.zone());
    zone.set("Context Rule", m.zoneKind());
    zone.set("Allowed Option List", "Fluid, Solid, Porous");
    zone.set("Essential Parameter List", m.zoneKind() + ", " + m.regions());
    zone.set("Optional Child List", m.face());
    zone.child("PARAMETER", m.regions())
        .set("Ignore Global Definition", "true")
        .set("Parameter Type", "String List")
        .set("Description", "Mesh regions that make up the zone.")
        .set("Default", "Main");
    zone.child("CONTEXT", "Fluid")
        .set("Essential Parameter List", m.material())
        .set("Optional Parameter List", m.zoneScheme() + ", " + m.zonePressure());
    Node& solid = zone.child("CONTEXT", "Solid");
    solid.set("Essential Parameter List", m.material());
    solid.set("Optional Parameter List", m.zonePressure());
    solid.child("PARAMETER", m.material()).set("Default", "Steel");
    Node& porous = zone.child("CONTEXT", "Porous");
    porous.set("Essential Parameter List", m.material());
    porous.set("Optional Parameter List",
               m.zoneScheme() + ", " + m.zonePressure() + ", " + m.porosity());
    porous.child("PARAMETER", m.zonePressure())
        .set("Default", "200000 [Pa]")
        .set("Upper Bound", "10000000 [Pa]");

    Node& face = rules.child("OBJECT", m.face());
    face.set("Context Rule", m.faceKind());
    face.set("Allowed Option List", "Inlet, Outlet, Wall, Opening");
    face.set("Essential Parameter List", m.faceKind() + ", " + m.regions());
    face.child("CONTEXT", "Inlet")
        .set("Essential Parameter List", m.inflowSpeed())
        .set("Optional Parameter List", m.faceScheme());
    face.child("CONTEXT", "Outlet").set("Essential Parameter List", m.outflowPressure());
    face.child("CONTEXT", "Wall").set("Optional Parameter List", m.wallLayers());
    Node& opening = face.child("CONTEXT", "Opening");
    opening.set("Essential Parameter List", m.outflowPressure());
    opening.set("Optional Parameter List", m.faceScheme());
    opening.child("PARAMETER", m.outflowPressure())
        .set("Description", "Pressure outside the opening.");
}

Node makeRules(int scale) {
    Node rules{"RULES", "", {}, {}};
    addParameter(rules, "Density", "Real", "Mass per unit volume.",
                 {{"Default", "1.185 [kg m^-3]"},
                  {"Lower Bound", "0 [kg m^-3]"},
                  {"Quantity Type", "Density"}});
    addParameter(rules, "Thermal Conductivity", "Real", "Heat conducted per unit gradient.",
                 {{"Default", "0.0261 [W m^-1 K^-1]"},
                  {"Lower Bound", "0 [W m^-1 K^-1]"},
                  {"Quantity Type", "Thermal Conductivity"}});
    std::string systems;
    for (int i = 1; i <= scale; ++i)
        systems += (i == 1 ? "" : ", ") + Module(i).system();
    rules.child("SINGLETON", "ROOT")
        .set("Essential Child List", "LIBRARY")
        .set("Optional Child List", systems);
    rules.child("SINGLETON", "LIBRARY").set("Optional Child List", "MATERIAL");
    rules.child("OBJECT", "MATERIAL")
        .set("Essential Parameter List", "Density")
        .set("Optional Parameter List", "Thermal Conductivity");
    for (int i = 1; i <= scale; ++i)
        addModuleRules(rules, Module(i));
    return rules;
}

Node& check(Node& data, const std::string& name, const char* type) {
    return data.child("CHECK", name).set("Type", type);
}

Node& list(Node& data, const std::string& name, const char* type) {
    return data.child("LIST", name).set("Type", type);
}

void addModuleChecks(Node& data, const Module& m) {
    const std::string& n = m.n;
    check(data, "IsTransient" + n, "Parameter Value")
        .set("Object Type", m.system())
        .set("Parameter", m.mode())
        .set("Value List", "Transient, Coupled");
    check(data, "IsPorous" + n, "Parameter Value")
        .set("Object Type", m.zone())
        .set("Parameter", m.zoneKind())
        .set("Value List", "Porous");
    check(data, "HasRegions" + n, "Parameter Value")
        .set("Parameter", m.regions())
        .set("Test", "Set");
    check(data, "ManyIterations" + n, "Numeric Test")
        .set("Parameter", m.maxIterations())
        .set("Operator", ">")
        .set("Value", "100");
    check(data, "Advanced" + n, "All")
        .set("Check List", "IsTransient" + n + ", ManyIterations" + n);
    check(data, "NotPorous" + n, "Not").set("Check List", "IsPorous" + n);
    check(data, "HasFaces" + n, "Child Exists").set("Object Type", m.face());
    check(data, "BetaProbes" + n, "Beta")
        .set("Message", "Probes of system " + n + " are a beta feature.")
        .set("Check", "IsTransient" + n);
    list(data, "ProbeNames" + n, "Fixed").set("Value List", "North, South, East, West");
    list(data, "DefaultZoneNames" + n, "Fixed").set("Value List", "Main");
    list(data, "FastSchemes" + n, "Fixed").set("Value List", "Upwind, Hybrid");
    list(data, "AccurateSchemes" + n, "Fixed").set("Value List", "Central, Blended");
    list(data, "AllSchemes" + n, "Union")
        .set("List Names", "FastSchemes" + n + ", AccurateSchemes" + n);
    data.child("GLOBAL CHECK", "FacesHaveRegions" + n)
        .set("Type", "For Each Object")
        .set("Object Type", m.face())
        .set("Check", "HasRegions" + n)
        .set("Message", "Every face of system " + n + " needs regions.");
}

void addModuleDependencies(Node& deps, const Module& m) {
    const std::string& n = m.n;
    deps.child("OBJECT DEPENDENCY", m.system())
        .set("Ordered Allowed Option List", "Steady, Transient, Coupled")
        .set("Default Option", "Steady")
        .set("Ordered Required Parameter List", m.mode())
        .set("Ordered Required Child List", joinTypes({"CONTROL", "TIMING", "ZONE", "OUTPUT"}, n))
        .set("Treat As Optional Child List", m.output())
        .set("Coupled Optional Child List", m.output())
        .set("Default Child Name List", m.zone() + ", DefaultZoneNames" + n);
    deps.child("OBJECT DEPENDENCY", m.control())
        .set("Ordered Required Parameter List", m.advection())
        .set("Ordered Optional Parameter List",
             m.maxIterations() + ", " + m.relaxation() + ", " + m.monitoring())
        .set("Parameter Check List", m.monitoring() + ", Advanced" + n);
    deps.child("OBJECT DEPENDENCY", m.timing())
        .set("Ordered Required Parameter List", m.timestep() + ", " + m.totalTime());
    deps.child("OBJECT DEPENDENCY", m.output())
        .set("Ordered Optional Parameter List", m.outputFrequency() + ", " + m.regions())
        .set("Ordered Optional Child List", m.probe())
        .set("Child Name List", m.probe() + ", ProbeNames" + n)
        .set("Child Check List", m.probe() + ", BetaProbes" + n);
    deps.child("OBJECT DEPENDENCY", m.probe())
        .set("Ordered Required Parameter List", m.probeScheme() + ", " + m.probeOffset())
        .set("Ordered Optional Parameter List", m.outputFrequency());
    deps.child("OBJECT DEPENDENCY", m.zone())
        .set("Ordered Allowed Option List", "Fluid, Solid, Porous")
        .set("Default Option", "Fluid")
        .set("Allowed Option Check List", "Solid, HasMaterials, Porous, HasMaterials")
        .set("Ordered Required Parameter List",
             m.zoneKind() + ", " + m.regions() + ", " + m.material())
        .set("Ordered Optional Parameter List",
             m.zoneScheme() + ", " + m.zonePressure() + ", " + m.porosity())
        .set("Parameter Check List", m.material() + ", HasMaterials")
        .set("Relaxed Validation Parameter List", m.regions())
        .set("Ordered Optional Child List", m.face())
        .set("Child Check List", m.face() + ", HasRegions" + n);
    deps.child("OBJECT DEPENDENCY", m.face())
        .set("Ordered Allowed Option List", "Inlet, Outlet, Wall")
        .set("Unused Allowed Option List", "Opening")
        .set("Subset Allowed Option List", "Inlet, Wall")
        .set("Default Option Check List", "Outlet, IsPorous" + n + ", Wall, ()")
        .set("Ordered Required Parameter List", m.faceKind() + ", " + m.regions() + ", " +
                                                    m.inflowSpeed() + ", " + m.outflowPressure())
        .set("Ordered Optional Parameter List", m.faceScheme() + ", " + m.wallLayers());

    deps.child("PARAMETER VALUES", m.advection())
        .set("Ordered Allowed String List", kSchemes)
        .set("Allowed String List Checks", "Blended, Advanced" + n)
        .set("Subset Allowed String List", "Upwind, Central")
        .set("Default Value Check List", "Blended, IsTransient" + n);
    deps.child("PARAMETER VALUES", m.probeScheme())
        .set("Value List Source", "AllSchemes" + n)
        .set("Subset Value List Source", "FastSchemes" + n);
    deps.child("PARAMETER VALUES", m.zoneScheme())
        .set("Value Override Check List", "Upwind, IsPorous" + n);
    deps.child("PARAMETER VALUES", m.faceScheme())
        .set("Ordered Allowed String List", "Upwind, Central")
        .set("Unused Allowed String List", "Blended, Hybrid")
        .set("Fallback To Blank Default", "true");
    deps.child("PARAMETER VALUES", m.material()).set("Value List Source", "MaterialNames");
    deps.child("PARAMETER VALUES", m.relaxation())
        .set("Default Value Check List", "0.5, Advanced" + n);
    deps.child("PARAMETER VALUES", m.maxIterations()).set("Default Value", "250");
    deps.child("PARAMETER VALUES", m.monitoring())
        .set("Value Override Check List", "true, ManyIterations" + n);
    deps.child("PARAMETER VALUES", m.inflowSpeed()).set("Default Value", "2 [m s^-1]");
    Node& frequency = deps.child("PARAMETER VALUES", m.outputFrequency());
    frequency.child("PARAMVAL CONTEXT", "Output")
        .set("Parent Context List", typePath({m.system(), m.output()}))
        .set("Default Value", "5");
    frequency.child("PARAMVAL CONTEXT", "Probes")
        .set("Parent Context List", "Default")
        .set("Default Value", "1");
}

Node makePhysics(int scale) {
    Node physics{"PHYSICS", "", {}, {}};
    Node& data = physics.child("CHECK DATA");
    std::string roots;
    for (int i = 1; i <= scale; ++i)
        roots += (i == 1 ? "" : ", ") + ("FacesHaveRegions" + num(i));
    data.set("Global Check Root List", roots);
    check(data, "HasMaterials", "Object Exists").set("Object Type", "MATERIAL");
    list(data, "MaterialNames", "Object Names")
        .set("Object Type", "MATERIAL")
        .set("Scope", "Model");
    for (int i = 1; i <= scale; ++i)
        addModuleChecks(data, Module(i));

    Node& deps = physics.child("DEPENDENCIES");
    deps.child("OBJECT DEPENDENCY", "LIBRARY").set("Accept Children", "True");
    deps.child("OBJECT DEPENDENCY", "MATERIAL")
        .set("Ordered Required Parameter List", "Density")
        .set("Ordered Optional Parameter List", "Thermal Conductivity");
    for (int i = 1; i <= scale; ++i)
        addModuleDependencies(deps, Module(i));
    return physics;
}

// Builds the model tree and records every object's path and type path.
class ModelBuilder {
public:
    explicit ModelBuilder(std::vector<SyntheticDataSet::ModelObject>& objects)
        : m_objects(objects) {}

    Node& add(Node& parent, const std::string& parentPath, const std::string& parentTypePath,
              const std::string& type, const std::string& name, std::string& path,
              std::string& typePath) {
        path = parentPath + "/" + type + (name.empty() ? "" : ":" + name);
        typePath = parentTypePath + "/" + type;
        m_objects.push_back({path, typePath});
        return parent.child(type, name);
    }

private:
    std::vector<SyntheticDataSet::ModelObject>& m_objects;
};

void addModuleModel(Node& root, const Module& m, const SyntheticDataSet::Shape& shape,
                    ModelBuilder& b) {
    static const char* const kModes[] = {"Transient", "Steady", "Coupled"};
    static const char* const kZoneKinds[] = {"Fluid", "Porous", "Solid"};
    static const char* const kFaceKinds[] = {"Inlet", "Outlet", "Wall"};
    for (int s = 0; s < shape.systemsPerModule; ++s) {
        std::string sp, st, p, t;
        const std::string mode = kModes[s % 3];
        Node& system = b.add(root, "", "", m.system(), "Run " + m.n + "." + num(s + 1), sp, st);
        system.set(m.mode(), mode);

        b.add(system, sp, st, m.control(), "", p, t)
            .set(m.advection(), s % 2 ? "Central" : "Blended")
            .set(m.maxIterations(), num(150 + 50 * s))
            .set(m.relaxation(), "0.6");
        if (mode != "Steady")
            b.add(system, sp, st, m.timing(), "", p, t)
                .set(m.timestep(), "0.005 [s]")
                .set(m.totalTime(), "2 [s]");
        std::string op, ot;
        Node& output = b.add(system, sp, st, m.output(), "", op, ot);
        output.set(m.outputFrequency(), "20").set(m.regions(), "DUCT, FILTER");
        for (const char* probe : {"North", "South"})
            b.add(output, op, ot, m.probe(), probe, p, t)
                .set(m.probeScheme(), "Upwind")
                .set(m.probeOffset(), "0.1 [m]");

        for (int z = 0; z < shape.zonesPerSystem; ++z) {
            std::string zp, zt;
            const std::string kind = kZoneKinds[z % 3];
            Node& zone = b.add(system, sp, st, m.zone(), "Zone " + num(z + 1), zp, zt);
            zone.set(m.zoneKind(), kind)
                .set(m.regions(), "REGION_" + num(z + 1))
                .set(m.material(), kind == "Solid" ? "Steel" : "Air");
            if (kind != "Solid") zone.set(m.zoneScheme(), "Hybrid");
            if (kind == "Porous") zone.set(m.porosity(), "0.35");
            for (int f = 0; f < shape.facesPerZone; ++f) {
                const std::string faceKind = kFaceKinds[f % 3];
                Node& face = b.add(zone, zp, zt, m.face(), "Face " + num(f + 1), p, t);
                face.set(m.faceKind(), faceKind).set(m.regions(), "SURFACE_" + num(f + 1));
                if (faceKind == "Inlet")
                    face.set(m.inflowSpeed(), "2.5 [m s^-1]").set(m.faceScheme(), "Central");
                else if (faceKind == "Outlet")
                    face.set(m.outflowPressure(), "0 [Pa]");
                else
                    face.set(m.wallLayers(), "5");
            }
        }
    }
}

Node makeModel(const SyntheticDataSet::Shape& shape,
               std::vector<SyntheticDataSet::ModelObject>& objects) {
    Node root;
    ModelBuilder b(objects);
    std::string lp, lt, p, t;
    Node& library = b.add(root, "", "", "LIBRARY", "", lp, lt);
    b.add(library, lp, lt, "MATERIAL", "Air", p, t)
        .set("Density", "1.185 [kg m^-3]")
        .set("Thermal Conductivity", "0.0261 [W m^-1 K^-1]");
    b.add(library, lp, lt, "MATERIAL", "Steel", p, t)
        .set("Density", "7854 [kg m^-3]")
        .set("Thermal Conductivity", "60.5 [W m^-1 K^-1]");
    for (int i = 1; i <= shape.scale; ++i)
        addModuleModel(root, Module(i), shape, b);
    return root;
}

}  // namespace

SyntheticDataSet SyntheticDataSet::generate(const Shape& shape) {
    SyntheticDataSet set;
    const int scale = shape.scale < 1 ? 1 : shape.scale;
    const Node rules = makeRules(scale);
    const Node physics = makePhysics(scale);
    const std::string header = "# Synthetic data set, scale " + num(scale) + ".\n";
    set.rulesTarn = header;
    writeTarn(rules, 0, set.rulesTarn);
    set.physicsTarn = header;
    writeTarn(physics, 0, set.physicsTarn);
    set.rulesJson = toJson(rules);
    set.physicsJson = toJson(physics);
    count(rules, set.dataObjectCount, set.dataParameterCount);
    count(physics, set.dataObjectCount, set.dataParameterCount);

    Shape modelShape = shape;
    modelShape.scale = scale;
    const Node model = makeModel(modelShape, set.modelObjects);
    set.modelTarn = header;
    writeTarn(model, 0, set.modelTarn);
    return set;
}

}  // namespace kel::bench
