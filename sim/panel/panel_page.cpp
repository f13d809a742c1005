// The front panel's page. It reads the switch table once (/api/controls), then draws every
// snapshot the event stream brings (/api/stream): one snapshot per update, never a request per
// value. Controls post JSON bodies to the same endpoints scripts use.
#include "panel_page.h"

namespace qsim::panel {

namespace {

constexpr std::string_view kPanelPage = R"PANEL(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Virtual installation panel</title>
<style>
body{font:13px sans-serif;margin:8px;background:#1d2226;color:#dde}
h1{font-size:16px;margin:4px 0}h2{font-size:14px;margin:6px 0}
.bar{display:flex;gap:8px;align-items:center;flex-wrap:wrap;margin-bottom:8px}
.card{border:1px solid #556;border-radius:6px;padding:6px;margin-bottom:10px}
.axes{display:flex;gap:8px;flex-wrap:wrap}
.axis{border:1px solid #445;border-radius:4px;padding:4px;min-width:270px;background:#262c31}
.num{font-family:monospace;text-align:right;min-width:90px;display:inline-block}
.lamp{display:inline-block;margin:1px;padding:1px 4px;border-radius:8px;border:1px solid #667;background:#333;color:#aab;cursor:pointer;font-size:11px}
.lamp.on{background:#e33;color:#fff}.lamp.out.on{background:#3b3}.lamp.absent{opacity:.35;cursor:not-allowed;text-decoration:line-through}
.stop{color:#fc6}button{font-size:11px}
canvas{background:#111;border:1px solid #445}
.stations{display:flex;gap:6px;flex-wrap:wrap}.station{border:1px solid #445;padding:4px;border-radius:4px}
pre{background:#111;max-height:160px;overflow:auto;font-size:11px;padding:4px}
</style></head><body>
<h1>Virtual installation</h1>
<div class="bar"><span>time <span id="clock-now" class="num">0</span> s</span><span id="clock-mode"></span>
<button id="clock-pause">pause</button><button id="clock-resume">resume</button>
<button id="clock-step">step</button><input id="clock-step-s" value="0.01" size="5"> s
<label>scale <input id="clock-scale" value="1" size="5"></label><button id="clock-scale-set">set</button>
<span id="status"></span></div>
<div class="bar"><label>X-Y view: card <input id="xy-card" value="0" size="2"> axes
<select id="xy-a"><option>0</option><option>1</option><option>2</option><option>3</option></select>
<select id="xy-b"><option>0</option><option selected>1</option><option>2</option><option>3</option></select></label>
<button id="xy-clear">clear</button></div>
<div class="bar"><canvas id="xy" width="320" height="320"></canvas><canvas id="strip" width="640" height="320"></canvas></div>
<div id="cards"></div>
<h2>Trace</h2><pre id="trace"></pre>
<script>
"use strict";
const $=id=>document.getElementById(id);
let controls=[],shape="",xyPath=[],strip=[],last=null;
const post=(path,body)=>fetch(path,{method:"POST",headers:{"Content-Type":"application/json"},body:JSON.stringify(body)})
  .then(r=>r.json().then(j=>{$("status").textContent=r.ok?"":(r.status+": "+j.error)}));
const el=(tag,attrs,text)=>{const e=document.createElement(tag);Object.assign(e,attrs||{});if(text!==undefined)e.textContent=text;return e};
function lamp(id,label,cls,onclick){const b=el("span",{id:id,className:"lamp "+(cls||"")},label);if(onclick)b.onclick=onclick;return b}
function shapeOf(s){return s.cards.map(c=>c.device+":"+c.ring.stations.map(t=>t.slave+t.kind).join(",")).join(";")}
function build(s){
  const root=$("cards");root.textContent="";
  for(const c of s.cards){
    const d=c.device,box=el("div",{className:"card",id:"card-"+d});
    box.appendChild(el("h2",{},"card "+d));
    const cb=el("div",{className:"bar"});
    for(const row of controls.filter(r=>r.scope==="card")){
      const id="cin-"+d+"-"+row.name;
      cb.appendChild(row.available?lamp(id,row.label,"",()=>post("/api/card/input",{card:d,input:row.name,active:!last_card_input(d,row.name)}))
        :lamp(id,row.label+" (absent)","absent"));
    }
    cb.appendChild(el("span",{},"hand wheel"));
    cb.appendChild(el("input",{id:"wheel-"+d+"-detents",value:"100",size:5}));
    cb.appendChild(el("span",{},"detents at"));
    cb.appendChild(el("input",{id:"wheel-"+d+"-rate",value:"1000",size:5}));
    cb.appendChild(el("span",{},"/s"));
    for(const [sign,label] of [[-1,"turn -"],[1,"turn +"]]){
      const b=el("button",{id:"wheel-"+d+(sign>0?"-plus":"-minus")},label);
      b.onclick=()=>post("/api/wheel",{card:d,detents:sign*parseInt($("wheel-"+d+"-detents").value,10),rate:parseFloat($("wheel-"+d+"-rate").value)});
      cb.appendChild(b);
    }
    box.appendChild(cb);
    const axes=el("div",{className:"axes"});
    for(const a of c.axes){
      const k=d+"-"+a.axis,ax=el("div",{className:"axis",id:"axis-"+k});
      ax.appendChild(el("b",{},"axis "+"XYZU"[a.axis]));ax.appendChild(el("br"));
      for(const [name,label] of [["command","cmd"],["position","pos"],["error","err"],["speed","speed"]]){
        ax.appendChild(el("span",{},label+" "));ax.appendChild(el("span",{id:name+"-"+k,className:"num"}));ax.appendChild(el("br"));
      }
      ax.appendChild(el("span",{id:"state-"+k}));ax.appendChild(el("span",{}," "));ax.appendChild(el("span",{id:"stop-"+k,className:"stop"}));
      ax.appendChild(el("br"));
      for(const row of controls.filter(r=>r.scope==="axis"))
        ax.appendChild(lamp("in-"+k+"-"+row.name,row.label,"",()=>post("/api/axis/input",{card:d,axis:a.axis,input:row.name,active:!last_axis(d,a.axis).inputs[row.name]})));
      ax.appendChild(el("br"));
      for(const name of Object.keys(a.outputs))ax.appendChild(lamp("out-"+k+"-"+name,name,"out"));
      ax.appendChild(el("br"));
      for(const [dir,label] of [[-1,"jog -"],[1,"jog +"]]){
        const b=el("button",{id:"jog-"+k+(dir>0?"-plus":"-minus")},label);
        let held=false;
        b.onmousedown=()=>{held=true;post("/api/jog",{card:d,axis:a.axis,direction:dir,pressed:true})};
        b.onmouseup=b.onmouseleave=()=>{if(held){held=false;post("/api/jog",{card:d,axis:a.axis,direction:dir,pressed:false})}};
        ax.appendChild(b);
      }
      for(const [dir,label] of [[-1,"step -"],[1,"step +"]]){
        const b=el("button",{id:"step-"+k+(dir>0?"-plus":"-minus")},label);
        b.onclick=()=>post("/api/step",{card:d,axis:a.axis,direction:dir});ax.appendChild(b);
      }
      axes.appendChild(ax);
    }
    box.appendChild(axes);
    box.appendChild(el("div",{id:"ring-"+d}));
    const st=el("div",{className:"stations"});
    for(const t of c.ring.stations){
      const k=d+"-"+t.slave,sb=el("div",{className:"station",id:"station-"+k});
      sb.appendChild(el("b",{},"slave "+t.slave+" ("+t.kind+")"));
      const pull=el("button",{id:"pull-"+k},"pull");pull.onclick=()=>post("/api/station/pull",{card:d,slave:t.slave});sb.appendChild(pull);
      sb.appendChild(el("br"));
      for(let p=0;p<4;p++){
        sb.appendChild(el("span",{},"p"+p+" "));
        for(let bit=0;bit<8;bit++){
          sb.appendChild(lamp("io-"+k+"-"+p+"-"+bit,String(bit),"",()=>
            post("/api/station/io",{card:d,slave:t.slave,port:p,toggle:bit})));
        }
        sb.appendChild(el("br"));
      }
      for(const a of t.axes){sb.appendChild(el("span",{id:"maxis-"+k+"-"+a.axis}));sb.appendChild(el("br"))}
      st.appendChild(sb);
    }
    box.appendChild(st);
    root.appendChild(box);
  }
}
function last_card(d){return last.cards.find(c=>c.device===d)}
function last_axis(d,a){return last_card(d).axes[a]}
function last_card_input(d,name){return !!last_card(d).inputs[name]}
function setLamp(id,on){const e=$(id);if(e)e.classList.toggle("on",!!on)}
function render(s){
  last=s;
  const sh=shapeOf(s);if(sh!==shape){shape=sh;build(s)}
  $("clock-now").textContent=s.clock.now.toFixed(3);
  $("clock-mode").textContent=s.clock.paused?"paused":(s.clock.realtime?"real time x"+s.clock.scale:"manual");
  for(const c of s.cards){
    const d=c.device;
    for(const row of controls.filter(r=>r.scope==="card"&&r.available))setLamp("cin-"+d+"-"+row.name,c.inputs[row.name]);
    $("ring-"+d).textContent="ring: "+c.ring.mode;
    for(const a of c.axes){
      const k=d+"-"+a.axis;
      $("command-"+k).textContent=a.command;$("position-"+k).textContent=a.position;
      $("error-"+k).textContent=a.error;$("speed-"+k).textContent=a.speed.toFixed(1);
      $("state-"+k).textContent=a.state;
      $("stop-"+k).textContent=a.stop_reasons.length?"stopped by "+a.stop_reasons.join(", "):"";
      for(const n in a.inputs)setLamp("in-"+k+"-"+n,a.inputs[n]);
      for(const n in a.outputs)setLamp("out-"+k+"-"+n,a.outputs[n]);
    }
    for(const t of c.ring.stations){
      const k=d+"-"+t.slave;
      for(let p=0;p<4;p++)for(let bit=0;bit<8;bit++)setLamp("io-"+k+"-"+p+"-"+bit,(t.io[p]>>bit)&1);
      for(const a of t.axes)$("maxis-"+k+"-"+a.axis).textContent="axis "+a.axis+": "+a.command+" ("+a.speed.toFixed(0)+"/s, "+a.state+")";
    }
  }
  $("trace").textContent=s.trace.map(e=>e.time.toFixed(6)+" "+e.text).join("\n");
  drawXY(s);drawStrip(s);
}
function drawXY(s){
  const c=s.cards.find(x=>x.device===parseInt($("xy-card").value,10));if(!c)return;
  const a=c.axes[$("xy-a").value],b=c.axes[$("xy-b").value];
  const p=[a.command,b.command],q=xyPath[xyPath.length-1];if(!q||q[0]!==p[0]||q[1]!==p[1])xyPath.push(p);
  if(xyPath.length>4000)xyPath.shift();
  const g=$("xy").getContext("2d"),W=320;g.clearRect(0,0,W,W);
  let lo=Math.min(...xyPath.flat()),hi=Math.max(...xyPath.flat());if(hi-lo<1){hi+=1;lo-=1}
  const f=v=>10+(v-lo)/(hi-lo)*(W-20);
  g.strokeStyle="#6cf";g.beginPath();xyPath.forEach((v,i)=>i?g.lineTo(f(v[0]),W-f(v[1])):g.moveTo(f(v[0]),W-f(v[1])));g.stroke();
  g.fillStyle="#fc6";g.fillRect(f(p[0])-3,W-f(p[1])-3,6,6);
}
function drawStrip(s){
  const c=s.cards.find(x=>x.device===parseInt($("xy-card").value,10));if(!c)return;
  strip.push([c.axes[$("xy-a").value].speed,c.axes[$("xy-b").value].speed]);if(strip.length>640)strip.shift();
  const g=$("strip").getContext("2d"),W=640,H=320;g.clearRect(0,0,W,H);
  const m=Math.max(1,...strip.flat().map(Math.abs));
  for(const [i,col] of [[0,"#6cf"],[1,"#f96"]]){
    g.strokeStyle=col;g.beginPath();strip.forEach((v,x)=>{const y=H/2-v[i]/m*(H/2-5);x?g.lineTo(x,y):g.moveTo(x,y)});g.stroke();
  }
}
$("xy-clear").onclick=()=>{xyPath=[];strip=[]};
$("clock-pause").onclick=()=>post("/api/clock",{action:"pause"});
$("clock-resume").onclick=()=>post("/api/clock",{action:"resume"});
$("clock-step").onclick=()=>post("/api/clock",{action:"step",seconds:parseFloat($("clock-step-s").value)});
$("clock-scale-set").onclick=()=>post("/api/clock",{action:"scale",scale:parseFloat($("clock-scale").value)});
fetch("/api/controls").then(r=>r.json()).then(j=>{
  controls=j.inputs;
  const src=new EventSource("/api/stream");
  src.onmessage=e=>render(JSON.parse(e.data));
  src.onerror=()=>{$("status").textContent="stream lost, retrying"};
});
</script></body></html>
)PANEL";

}  // namespace

std::string_view page_html() { return kPanelPage; }

}  // namespace qsim::panel
